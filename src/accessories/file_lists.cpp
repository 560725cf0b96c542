#include "accessories/file_lists.h"

#include "platform/native_name.h"
#include "platform/vb_error.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStyle>

namespace pb {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("drvList"));
    addItems(drives());
}

QStringList DriveListBox::drives() {
    QStringList out{QStringLiteral("/")};
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady() || v.rootPath() == QLatin1String("/")) continue;
        // Only file systems on a device: not the kernel's own or memory-backed ones.
        if (!v.device().startsWith("/dev/")) continue;
        if (!out.contains(v.rootPath())) out << v.rootPath();
    }
    std::sort(out.begin() + 1, out.end());
    return out;
}

void DriveListBox::setDriveOf(const QString& folder) {
    QString best = QStringLiteral("/");
    for (int i = 0; i < count(); ++i) {
        const QString d = itemText(i);
        if ((folder == d || folder.startsWith(d + QLatin1Char('/'))) && d.size() > best.size()) best = d;
    }
    const QSignalBlocker quiet(this);
    setCurrentIndex(findText(best));
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("dirList"));
}

void DirListBox::setPath(const QString& folder) {
    // Text operations only: the path may hold bytes that are not UTF-8 (see native_name.h).
    const QString clean =
        QDir::cleanPath(QDir::isAbsolutePath(folder) ? folder : joinPath(QDir::currentPath(), folder));
    FolderListing listing;
    if (!native::stat(clean).isFolder || !listFolder(clean, NamePattern(QString()), listing))
        throw VbError(err::PathNotFound);
    m_path = clean;
    m_subfolders = listing.folders;
    clear();
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    QStringList chain;
    for (QString p = clean;; p = QFileInfo(p).path()) {
        chain.prepend(p);
        if (p == QLatin1String("/") || p == QFileInfo(p).path()) break;
    }
    for (int i = 0; i < chain.size(); ++i) {
        const QString name = i == 0 ? chain[i] : QFileInfo(chain[i]).fileName();
        auto* item = new QListWidgetItem(open, QString(i * 2, QLatin1Char(' ')) + native::shown(name), this);
        item->setData(Qt::UserRole, chain[i]);
    }
    m_firstSub = static_cast<int>(chain.size());
    for (const QString& sub : m_subfolders) {
        auto* item =
            new QListWidgetItem(closed, QString(m_firstSub * 2, QLatin1Char(' ')) + native::shown(sub), this);
        item->setData(Qt::UserRole, joinPath(clean, sub));
    }
    setCurrentRow(m_firstSub - 1);
    Q_EMIT Change();
}

QString DirListBox::highlightedPath() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->data(Qt::UserRole).toString() : m_path;
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("filList"));
}

void FileListBox::setPath(const QString& folder) {
    m_path = folder;
    refill();
}

void FileListBox::setPattern(const QString& patterns) {
    m_pattern = NamePattern(patterns);
    refill();
}

QString FileListBox::FileName() const {
    const QListWidgetItem* item = currentItem();
    if (!item) return {};
    const QVariant own = item->data(Qt::UserRole);
    return own.isValid() ? own.toString() : item->text();
}

void FileListBox::refill() {
    clear();
    FolderListing listing;
    if (m_path.isEmpty() || !listFolder(m_path, m_pattern, listing)) return;
    QStringList shown;
    shown.reserve(listing.files.size());
    for (const QString& name : std::as_const(listing.files))
        shown << native::shown(name);
    addItems(shown);
    for (int i = 0; i < listing.files.size(); ++i)
        if (native::hasStandIns(listing.files[i])) item(i)->setData(Qt::UserRole, listing.files[i]);
}

} // namespace pb
