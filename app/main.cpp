// SPDX-License-Identifier: GPL-3.0-or-later
#include "Application.h"
#include "CommandLine.h"
#include "Platform.h"
#include "i18n/Language.h"

#include <QApplication>
#include <QByteArray>
#include <QMessageLogContext>
#include <QString>

#include <cstdio>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Holds back Qt's messages while the platform starts. When it cannot start
// (a display that is not there), Qt would print a paragraph and abort; the
// user gets one line and exit status 1 instead. Otherwise the messages are
// passed on as they came.
class PlatformStartGuard {
public:
    PlatformStartGuard() { previous_ = qInstallMessageHandler(&PlatformStartGuard::Hold); }
    ~PlatformStartGuard() {
        qInstallMessageHandler(previous_);
        for (const Held& held : held_) {
            const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
            if (previous_) {
                previous_(held.type, context, held.text);
            } else {
                std::fprintf(stderr, "%s\n", qUtf8Printable(held.text));
            }
        }
        held_.clear();
    }
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;

private:
    struct Held {
        QtMsgType type;
        QByteArray category;
        QString text;
    };

    static void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", tavik::kNoDisplayLine);
            std::fflush(stderr);
            _exit(1);
        }
        held_.push_back({type, QByteArray(context.category), text});
    }

    static inline QtMessageHandler previous_ = nullptr;
    static inline std::vector<Held> held_;
};

} // namespace

int main(int argc, char* argv[]) {
    // Help, version and bad options are answered before a display is opened;
    // Qt's own options pass on to it.
    const std::vector<std::string> given(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (const std::optional<int> status = tavik::AnswerCommandLine(given)) return *status;
    const tavik::PlatformChoice choice =
        tavik::ChoosePlatform(given, tavik::ReadPlatformEnvironment());
    if (const char* line = tavik::RefusalLine(choice)) {
        std::fprintf(stderr, "%s\n", line);
        return 1;
    }

    std::string programName = "tavik";
    std::string platformOption = "-platform";
    std::string platform = choice.platform;
    std::vector<char*> args(argv, argv + argc);
    if (args.empty()) args.push_back(programName.data());
    if (!platform.empty()) args.insert(args.begin() + 1, {platformOption.data(), platform.data()});
    args.push_back(nullptr);
    int count = static_cast<int>(args.size()) - 1;

    std::optional<PlatformStartGuard> guard;
    guard.emplace();
    QApplication app(count, args.data());
    guard.reset();
    // Before any window exists, so every text is made in the user's language.
    tavik::InstallTranslations(tavik::MessageLanguage());
    if (const char* note =
            tavik::StartUpNote(choice, QGuiApplication::platformName().toStdString()))
        std::fprintf(stderr, "%s\n", note);
    return tavik::RunTavik(app);
}
