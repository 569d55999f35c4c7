// SPDX-License-Identifier: GPL-3.0-or-later
#include "MemoryWindow.h"

#include "winsys/AppTitle.h"

namespace tavik {

MemoryWindow::MemoryWindow()
    : delivery(errorBox, kApplicationTitle),
      AudioRateBox(delivery, writes, "AudioRateBox", "192", {"192"}),
      VideoRateBox(delivery, writes, "VideoRateBox", "1150", {"1150"}),
      SizeBox(delivery, writes, "SizeBox", "650", {"650", "700", "2375"}),
      MonthEdit(delivery, writes, "MonthEdit", "30"), SecEdit(delivery, writes, "SecEdit", "0"),
      TotalSecEdit(delivery, writes, "TotalSecEdit", "0"),
      PieceEdit(delivery, writes, "PieceEdit", "1"), TotalEdit(delivery, writes, "TotalEdit", "1"),
      SepSecEdit(delivery, writes, "SepSecEdit", ""), GetVideoBtn(delivery), GetSizeBtn(delivery),
      GetTimeBtn(delivery), TotalSecBtn(delivery), NearRateChk(true),
      ContainerBox({"なし", "MPEG-TS", "M2TS", "MPEG-PS (DVD)", "MP4", "Matroska"}),
      HelpBtn(delivery), MailEdit(delivery, writes, "MailEdit", "mailto:i@example.org"),
      URLEdit(delivery, writes, "URLEdit", "https://tavik.example.org/"),
      frm({AudioRateBox, VideoRateBox, SizeBox, MonthEdit, SecEdit, TotalSecEdit, PieceEdit,
           TotalEdit, SepSecEdit, GetVideoBtn, GetSizeBtn, GetTimeBtn, TotalSecBtn, NearRateChk,
           ContainerBox, HelpBtn, MailEdit, URLEdit},
          help, shell) {}

} // namespace tavik
