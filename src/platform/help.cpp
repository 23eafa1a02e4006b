#include "platform/help.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QtEndian>

#include <chm_lib.h>

#include <memory>
#include <optional>

namespace help {
namespace {

constexpr quint64 kMaxObjectBytes = 32 * 1024 * 1024;
const QString kScheme = QStringLiteral("chm");
const QString kFallbackIndex = QStringLiteral("index.htm");

// An open help file.
class ChmFile {
public:
    static std::shared_ptr<ChmFile> Open(const QString& path)
    {
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

    // The start page recorded by the help compiler (entry 2 of "/#SYSTEM").
    QString DefaultTopic() const
    {
        const std::optional<QByteArray> system = Read(QStringLiteral("/#SYSTEM"));
        if (!system)
            return {};
        const QByteArray& b = *system;
        constexpr quint16 kDefaultTopic = 2;
        for (qsizetype at = 4; at + 4 <= b.size();) {
            const quint16 code = qFromLittleEndian<quint16>(b.constData() + at);
            const quint16 length = qFromLittleEndian<quint16>(b.constData() + at + 2);
            at += 4;
            if (at + length > b.size())
                break;
            if (code == kDefaultTopic)
                return QString::fromLatin1(b.mid(at, length).split('\0').first());
            at += length;
        }
        return {};
    }

private:
    ChmFile(chmFile* handle, QString path) : handle_(handle), path_(std::move(path)) {}

    chmFile* handle_;
    QString path_;
};

// The address of a page inside the help file, as the browser sees it.
QUrl TopicUrl(QString topic)
{
    while (topic.startsWith(QLatin1Char('/')))
        topic.remove(0, 1);
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(QLatin1Char('/') + topic);
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

class HelpViewer final : public QWidget {
public:
    explicit HelpViewer(QWidget* owner) : QWidget(owner, Qt::Window)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setObjectName(QStringLiteral("helpViewer"));
        resize(640, 520);
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
        connect(browser_, &QTextBrowser::sourceChanged, this, [this] { UpdateTitle(); });
        UpdateTitle();
    }

    void Show(std::shared_ptr<ChmFile> file, const QUrl& page)
    {
        if (browser_->File() != file) {
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

private:
    void UpdateTitle()
    {
        const QString page = browser_->documentTitle();
        setWindowTitle(page.isEmpty() ? QStringLiteral("Ajuda") : QStringLiteral("Ajuda - ") + page);
    }

    ChmBrowser* browser_;
};

QPointer<HelpViewer> g_viewer;

// The viewer window, made anew when there is none or when a modal window has
// opened since: a window outside the modal one would take no input.
HelpViewer* Viewer()
{
    QWidget* modal = QApplication::activeModalWidget();
    // A closed viewer is already on its way out (it deletes itself on close).
    if (g_viewer && (!g_viewer->isVisible() || (modal && modal != g_viewer->parentWidget()))) {
        g_viewer->close();
        g_viewer->deleteLater();
        g_viewer = nullptr;
    }
    if (!g_viewer)
        g_viewer = new HelpViewer(modal);
    return g_viewer;
}

bool Show(const std::shared_ptr<ChmFile>& file, const QString& topic)
{
    const QUrl page = TopicUrl(topic);
    if (!file || topic.isEmpty() || !file->Read(page.path()))
        return false;
    Viewer()->Show(file, page);
    return true;
}

// The open help file at `path`, shared with the viewer when it shows that file.
std::shared_ptr<ChmFile> OpenFile(const QString& path)
{
    if (g_viewer && g_viewer->File() && g_viewer->File()->Path() == path)
        return g_viewer->File();
    return ChmFile::Open(path);
}

} // namespace

bool ShowTopic(const QString& chmPath, const QString& topic)
{
    return Show(OpenFile(chmPath), topic);
}

bool ShowIndex(const QString& chmPath)
{
    const std::shared_ptr<ChmFile> file = OpenFile(chmPath);
    if (!file)
        return false;
    const QString start = file->DefaultTopic();
    return Show(file, start.isEmpty() ? kFallbackIndex : start);
}

} // namespace help
