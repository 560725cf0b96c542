#pragma once

#include "accessories/file_walk.h"

#include <QComboBox>
#include <QListWidget>

namespace pb {

// The drive list: "/" and the mounted file systems that hold files.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);
    QString drive() const { return currentText(); }
    // Shows the drive that holds `folder`.
    void setDriveOf(const QString& folder);
    static QStringList drives();
};

// The folder list: the open folder's parents from "/" down, the open folder, then its
// subfolders. Listed at once, in the calling thread.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);
    const QString& path() const { return m_path; }
    // Opens a folder; raises 76 when it is no folder that can be read.
    void setPath(const QString& folder);
    // The highlighted entry's folder (the open folder when nothing else is highlighted).
    QString highlightedPath() const;
    // The open folder's subfolders.
    int ListCount() const { return static_cast<int>(m_subfolders.size()); }
    QString List(int index) const { return joinPath(m_path, m_subfolders.value(index)); }

Q_SIGNALS:
    void Change();

private:
    QString m_path;
    QStringList m_subfolders;
    int m_firstSub = 0;
};

// The file list: the open folder's files that match the pattern.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);
    const QString& path() const { return m_path; }
    void setPath(const QString& folder);
    void setPattern(const QString& patterns);
    QString pattern() const { return m_pattern.text(); }
    // The highlighted file's name as the file system has it (the list shows it readable).
    QString FileName() const;

private:
    void refill();
    QString m_path;
    NamePattern m_pattern;
};

} // namespace pb
