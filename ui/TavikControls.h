// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window's controls that the logic reads, writes or listens to, by their
// layout names, with the window-system operation each one is: the one list.
// The logic's operations, the Qt window, the in-memory window and the tests
// all expand it, so a new control is added here and in the form, nowhere else.
// X(Kind, Name): Kind is Field, Button, CheckBox or Choice.

#define TAVIK_CONTROLS(X)                                                                          \
    X(Field, AudioRateBox)                                                                         \
    X(Field, VideoRateBox)                                                                         \
    X(Field, SizeBox)                                                                              \
    X(Field, MonthEdit)                                                                            \
    X(Field, SecEdit)                                                                              \
    X(Field, TotalSecEdit)                                                                         \
    X(Field, PieceEdit)                                                                            \
    X(Field, TotalEdit)                                                                            \
    X(Field, SepSecEdit)                                                                           \
    X(Button, GetVideoBtn)                                                                         \
    X(Button, GetSizeBtn)                                                                          \
    X(Button, GetTimeBtn)                                                                          \
    X(Button, TotalSecBtn)                                                                         \
    X(CheckBox, NearRateChk)                                                                       \
    X(Choice, ContainerBox)                                                                        \
    X(Choice, FpsBox)                                                                              \
    X(Button, HelpBtn)                                                                             \
    X(Field, MailEdit)                                                                             \
    X(Field, URLEdit)
