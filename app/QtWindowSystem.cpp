// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtWindowSystem.h"

#include "WindowManager.h"
#include "i18n/Language.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>

#include <vector>

namespace tavik {

namespace {

// While the error box is open the program's top-most windows step down, so
// that another program's top-most window stays above them; when it closes
// they are top-most again and the window that was active is active again.
// That happens as its button is pressed, while the box still has the focus:
// a manager then lets the program hand the focus on, where once the box has
// gone it may already have given it to another program's window (xfwm4).
class TopMostPause {
public:
    explicit TopMostPause(QMessageBox& box) : box_(box), active_(QApplication::activeWindow()) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
                SetTopMost(*window, false);
                paused_.emplace_back(window);
            }
        }
        QObject::connect(&box, &QMessageBox::buttonClicked, &box, [this] { End(); });
    }
    ~TopMostPause() { End(); }
    TopMostPause(const TopMostPause&) = delete;
    TopMostPause& operator=(const TopMostPause&) = delete;

private:
    void End() {
        if (ended_) return;
        ended_ = true;
        for (const QPointer<QWidget>& window : paused_)
            if (window) SetTopMost(*window, true);
        if (active_) Activate(*active_, &box_);
    }

    const QWidget& box_;
    QPointer<QWidget> active_;
    std::vector<QPointer<QWidget>> paused_;
    bool ended_ = false;
};

} // namespace

QtField::QtField(QLineEdit* edit, EventDelivery& delivery) : edit_(edit), delivery_(delivery) {
    // textChanged comes for typing and for setText alike, synchronously.
    connect(edit_, &QLineEdit::textChanged, this, [this] { delivery_.Deliver(onChange_); });
    // A combo box takes the focus for its edit part.
    edit_->installEventFilter(this);
    if (QWidget* proxy = edit_->focusProxy()) proxy->installEventFilter(this);
}

std::string QtField::Text() const {
    return edit_->text().toStdString();
}

// A number too long for its field shows its start: a cut at the right reads
// as "more follows", a cut at the left would drop the leading digits. Where
// the user types, the cursor stays where it is.
void QtField::Replace(const std::string& text) {
    edit_->setText(QString::fromStdString(text));
    if (!edit_->hasFocus()) edit_->setCursorPosition(0);
}

bool QtField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::MouseButtonDblClick && onDoubleClick_) {
        delivery_.Deliver(onDoubleClick_);
        return true;
    }
    // The field the user leaves shows its start too; not where the window
    // only loses the focus for a while, so typing goes on where it was.
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            edit_->setCursorPosition(0);
    }
    return QObject::eventFilter(watched, event);
}

QtButton::QtButton(QAbstractButton* button, EventDelivery& delivery) {
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [this, &delivery] { delivery.Deliver(onClick_); });
}

bool QtCheckBox::Checked() const {
    return box_->isChecked();
}

int QtChoice::Index() const {
    return box_->currentIndex();
}

void QtErrorBox::Show(const std::string& text, const std::string& caption) {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    // Owned by no window of the program, as by the application itself: on X
    // the box is then transient for the whole program, and a manager that
    // keeps a transient in its owner's layer (fluxbox) lets it stay top-most
    // while the main window steps down.
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    // The box shows above the main window, which is top-most again afterwards.
    SetTopMost(box, true);
    const TopMostPause pause(box);
    box.exec();
}

void QtShell::Open(const std::string& target) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(target)));
}

QtHelpDispatch::QtHelpDispatch(QString applicationHelpFile)
    : applicationHelpFile_(std::move(applicationHelpFile)) {}

QtHelpDispatch::~QtHelpDispatch() {
    delete viewer_;
}

// A bare name is looked up beside the application's help file; a file not
// installed there is taken from the documents built into the program. In
// English, the English page beside it ("Tavik_en.hlp") comes first.
QString QtHelpDispatch::Resolve(const QString& helpFile) const {
    const QDir folder = QFileInfo(applicationHelpFile_).dir();
    const QFileInfo name(helpFile);
    QStringList candidates{name.fileName()};
    if (InstalledLanguage() == Language::English)
        candidates.prepend(name.completeBaseName() + QStringLiteral("_en.") + name.suffix());
    for (const QString& candidate : candidates) {
        for (const QString& path :
             {folder.filePath(candidate), QStringLiteral(":/help/") + candidate})
            if (QFileInfo::exists(path)) return path;
    }
    return folder.filePath(helpFile);
}

void QtHelpDispatch::RunHelpCommand(unsigned command, unsigned long /*data*/) {
    if (command == kQuit) {
        delete viewer_;
        return;
    }
    if (command != kContents) return;

    QString helpFile;
    QWidget* active = QApplication::activeWindow();
    if (active) helpFile = active->property(kHelpFileProperty).toString();
    if (helpFile.isEmpty()) helpFile = applicationHelpFile_;
    if (helpFile.isEmpty()) return;

    if (!viewer_) {
        viewer_ = new QTextBrowser;
        viewer_->setAttribute(Qt::WA_DeleteOnClose);
        viewer_->setAttribute(Qt::WA_QuitOnClose,
                              false); // closing the main window ends the program
        SetTopMost(*viewer_, true);
        viewer_->setOpenExternalLinks(true);
        // At most the screen's free area, less the frame the asking window has.
        QSize size(520, 560);
        const QScreen* screen = active ? active->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QSize frame = active ? active->frameGeometry().size() - active->size() : QSize();
            size = size.boundedTo(screen->availableGeometry().size() - frame);
        }
        viewer_->resize(size);
    }
    // The help reads in the asking window's family, at the viewer's own size.
    if (active && active != viewer_) {
        QFont font = viewer_->font();
        font.setFamilies(active->font().families());
        viewer_->setFont(font);
    }
    QFile file(Resolve(helpFile));
    if (file.open(QIODevice::ReadOnly)) {
        viewer_->setHtml(QString::fromUtf8(file.readAll()));
    } else {
        viewer_->setPlainText(
            QCoreApplication::translate("QtHelpDispatch", "ヘルプファイル %1 が見つかりません。")
                .arg(helpFile));
    }
    viewer_->setWindowTitle(viewer_->documentTitle());
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

} // namespace tavik
