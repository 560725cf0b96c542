#include "accessories/file_lists.h"

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
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    FolderListing listing;
    if (!QFileInfo(clean).isDir() || !listFolder(clean, NamePattern(QString()), listing))
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
        auto* item = new QListWidgetItem(open, QString(i * 2, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, chain[i]);
    }
    m_firstSub = static_cast<int>(chain.size());
    for (const QString& sub : m_subfolders) {
        auto* item = new QListWidgetItem(closed, QString(m_firstSub * 2, QLatin1Char(' ')) + sub, this);
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
    return item ? item->text() : QString();
}

void FileListBox::refill() {
    clear();
    FolderListing listing;
    if (m_path.isEmpty() || !listFolder(m_path, m_pattern, listing)) return;
    addItems(listing.files);
}

} // namespace pb
