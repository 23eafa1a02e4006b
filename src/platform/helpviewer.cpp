#include "platform/helpviewer.h"

#include "platform/helpfile.h"
#include "platform/placement.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWindow>
#include <QtEndian>

#include <chm_lib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace help {
namespace {

constexpr quint64 kMaxObjectBytes = 32 * 1024 * 1024;
constexpr qsizetype kMaxRequestBytes = 64 * 1024;
constexpr QSize kWindowSize(640, 520);
constexpr int kGap = 8; // between the game and the help, room for the frames' shadows
constexpr int kMinWidth = 420;
const QString kScheme = QStringLiteral("chm");
const QString kFallbackIndex = QStringLiteral("index.htm");
const QString kUntitled = QStringLiteral("Ajuda");

// An open help file, handed to the help library only once its structure passed
// the check.
class ChmFile {
public:
    static std::shared_ptr<ChmFile> Open(const QString& path)
    {
        if (!CheckedFileContents(path))
            return nullptr;
        chmFile* handle = chm_open(QFile::encodeName(path).constData());
        if (!handle)
            return nullptr;
        return std::shared_ptr<ChmFile>(new ChmFile(handle, path));
    }

    ~ChmFile() { chm_close(handle_); }
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    const QString& Path() const { return path_; }

    // The bytes of the object at `name` (a path inside the file, "/" first).
    std::optional<QByteArray> Read(const QString& name) const
    {
        chmUnitInfo unit{};
        if (chm_resolve_object(handle_, name.toUtf8().constData(), &unit) != CHM_RESOLVE_SUCCESS)
            return std::nullopt;
        if (unit.length > kMaxObjectBytes)
            return std::nullopt;
        QByteArray bytes(static_cast<qsizetype>(unit.length), Qt::Uninitialized);
        const LONGINT64 got = chm_retrieve_object(handle_, &unit, reinterpret_cast<unsigned char*>(bytes.data()),
                                                  0, static_cast<LONGINT64>(unit.length));
        if (got != static_cast<LONGINT64>(unit.length))
            return std::nullopt;
        return bytes;
    }

    // The start page recorded by the help compiler.
    QString DefaultTopic() const { return SystemText(2); }

    // The help file's title.
    QString Title() const { return SystemText(3); }

private:
    ChmFile(chmFile* handle, QString path) : handle_(handle), path_(std::move(path)) {}

    // The text of entry `code` of "/#SYSTEM", where the help compiler records
    // the file's settings.
    QString SystemText(quint16 code) const
    {
        const std::optional<QByteArray> system = Read(QStringLiteral("/#SYSTEM"));
        if (!system)
            return {};
        const QByteArray& b = *system;
        for (qsizetype at = 4; at + 4 <= b.size();) {
            const quint16 entry = qFromLittleEndian<quint16>(b.constData() + at);
            const quint16 length = qFromLittleEndian<quint16>(b.constData() + at + 2);
            at += 4;
            if (at + length > b.size())
                break;
            if (entry == code)
                return QString::fromLatin1(b.mid(at, length).split('\0').first());
            at += length;
        }
        return {};
    }

    chmFile* handle_;
    QString path_;
};

// The address of a page inside the help file, as the browser sees it.
QUrl PageUrl(const QString& topic)
{
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(PageName(topic));
    return url;
}

// A browser whose pages, style sheets and pictures come from the help file.
class ChmBrowser final : public QTextBrowser {
public:
    explicit ChmBrowser(QWidget* parent) : QTextBrowser(parent) { setObjectName(QStringLiteral("helpBrowser")); }

    void SetFile(std::shared_ptr<ChmFile> file) { file_ = std::move(file); }
    const std::shared_ptr<ChmFile>& File() const { return file_; }

    QVariant loadResource(int, const QUrl& name) override
    {
        if (!file_ || name.scheme() != kScheme)
            return {};
        const std::optional<QByteArray> bytes = file_->Read(name.path());
        return bytes ? QVariant(*bytes) : QVariant();
    }

private:
    std::shared_ptr<ChmFile> file_;
};

class HelpWindow final : public QWidget {
public:
    HelpWindow()
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setObjectName(QStringLiteral("helpViewer"));
        resize(kWindowSize);
        auto* back = new QPushButton(QStringLiteral("< Voltar"), this);
        auto* forward = new QPushButton(QStringLiteral("Avançar >"), this);
        back->setObjectName(QStringLiteral("helpBack"));
        forward->setObjectName(QStringLiteral("helpForward"));
        back->setEnabled(false);
        forward->setEnabled(false);
        browser_ = new ChmBrowser(this);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addStretch();
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(buttons);
        layout->addWidget(browser_);
        connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
        connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
        connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
        connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    }

    void Show(std::shared_ptr<ChmFile> file, const QUrl& page)
    {
        if (browser_->File() != file) {
            const QString title = file->Title();
            setWindowTitle(title.isEmpty() ? kUntitled : title);
            browser_->SetFile(std::move(file));
            browser_->clearHistory();
        }
        browser_->setSource(page, QTextDocument::HtmlResource);
        show();
        setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
    }

    const std::shared_ptr<ChmFile>& File() const { return browser_->File(); }

protected:
    void showEvent(QShowEvent* event) override
    {
        // The window manager frames a new window before it first exposes it.
        if (!shown_) {
            shown_ = true;
            windowHandle()->installEventFilter(this);
        }
        QWidget::showEvent(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
            windowHandle()->removeEventFilter(this);
            keepFrameOnScreen();
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    void keepFrameOnScreen()
    {
        const QMargins frame = windowHandle()->frameMargins();
        const QRect placed = FrameOnScreen(geometry().marginsAdded(frame), screen()->availableGeometry());
        resize(placed.size().shrunkBy(frame));
        move(placed.topLeft()); // of the frame
    }

    ChmBrowser* browser_;
    bool shown_ = false;
};

QPointer<HelpWindow> g_window;

// A new window, placed beside the game.
HelpWindow* NewWindow(const QRect& beside)
{
    auto* window = new HelpWindow;
    if (!beside.isValid())
        return window;
    const QScreen* screen = QGuiApplication::screenAt(beside.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return window;
    const QRect place = PlaceBeside(beside, kWindowSize, screen->availableGeometry());
    window->resize(place.size());
    window->move(place.topLeft()); // of the frame
    return window;
}

// The open help file at `path`, shared with the window when it shows that file.
std::shared_ptr<ChmFile> OpenFile(const QString& path)
{
    if (g_window && g_window->File() && g_window->File()->Path() == path)
        return g_window->File();
    return ChmFile::Open(path);
}

void Answer(const QString& page)
{
    const QByteArray line = page.isEmpty() ? QByteArray("refused\n") : "shown " + page.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fflush(stdout);
}

// Serves each whole line of `pending`, leaving an unfinished one.
void ServeLines(QByteArray& pending)
{
    for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
        const std::optional<Request> request = DecodeRequest(pending.left(end + 1));
        pending.remove(0, end + 1);
        Answer(request ? ShowRequest(*request) : QString());
    }
    // Nothing the game sends is this long.
    if (pending.size() > kMaxRequestBytes) {
        pending.clear();
        Answer({});
    }
}

} // namespace

QByteArray EncodeRequest(const Request& request)
{
    const QRect& r = request.beside;
    return request.file.toUtf8().toPercentEncoding() + ' ' + request.topic.toUtf8().toPercentEncoding() + ' '
           + QByteArray::number(r.x()) + ' ' + QByteArray::number(r.y()) + ' ' + QByteArray::number(r.width())
           + ' ' + QByteArray::number(r.height()) + '\n';
}

std::optional<Request> DecodeRequest(const QByteArray& line)
{
    const QList<QByteArray> fields = line.trimmed().split(' ');
    if (fields.size() != 6)
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = fields[i + 2].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return Request{QString::fromUtf8(QByteArray::fromPercentEncoding(fields[0])),
                   QString::fromUtf8(QByteArray::fromPercentEncoding(fields[1])),
                   QRect(numbers[0], numbers[1], numbers[2], numbers[3])};
}

QString ShowRequest(const Request& request)
{
    const std::shared_ptr<ChmFile> file = OpenFile(request.file);
    if (!file)
        return {};
    QString topic = request.topic;
    if (topic.isEmpty())
        topic = file->DefaultTopic();
    if (topic.isEmpty())
        topic = kFallbackIndex;
    const QUrl page = PageUrl(topic);
    if (!file->Read(page.path()))
        return {};
    if (!g_window || !g_window->isVisible())
        g_window = NewWindow(request.beside);
    g_window->Show(file, page);
    return page.path();
}

QRect FrameOnScreen(const QRect& frame, const QRect& screen)
{
    const QSize size = frame.size().boundedTo(screen.size());
    return {vb::StartUpPlace(frame, size, screen), size};
}

QRect PlaceBeside(const QRect& anchor, const QSize& size, const QRect& screen)
{
    const QSize whole = size.boundedTo(screen.size());
    const int top = std::clamp(anchor.top(), screen.top(), screen.bottom() + 1 - whole.height());
    const int right = anchor.right() + 1 + kGap;
    const int roomRight = screen.right() + 1 - right;
    const int roomLeft = anchor.left() - kGap - screen.left();
    if (roomRight >= whole.width())
        return {right, top, whole.width(), whole.height()};
    if (roomLeft >= whole.width())
        return {anchor.left() - kGap - whole.width(), top, whole.width(), whole.height()};
    const int readable = std::min(kMinWidth, whole.width());
    if (roomRight >= readable)
        return {right, top, roomRight, whole.height()};
    // On the left, over the anchor if it must: the game's controls are on its right.
    return {screen.left(), top, std::max(roomLeft, readable), whole.height()};
}

const char* ViewerArgument()
{
    return "--help-viewer";
}

bool IsViewerRun(int argc, char** argv)
{
    return argc == 2 && std::strcmp(argv[1], ViewerArgument()) == 0;
}

int RunViewer(int argc, char** argv, const std::function<QIcon()>& icon)
{
    QApplication app(argc, argv);
    if (icon)
        QApplication::setWindowIcon(icon());
    // Closing the window leaves the viewer ready for the next request.
    QApplication::setQuitOnLastWindowClosed(false);
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[4096];
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got > 0) {
            pending.append(chunk, got);
            ServeLines(pending);
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            input.setEnabled(false);
            QApplication::quit(); // the game has ended
        }
    });
    return QApplication::exec();
}

} // namespace help
