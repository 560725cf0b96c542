#pragma once

#include "accessories/child_window.h"
#include "accessories/file_walk.h"

#include <QElapsedTimer>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pb {

class DirListBox;
class DriveListBox;
class FileListBox;

// Finds files by name pattern in a folder and every folder below it.
class frmSeek : public ChildWindow {
    Q_OBJECT
public:
    // The found list holds at most this many entries.
    static constexpr int kFoundCap = 32767;

    frmSeek();
    void Form_Load() override;
    void Form_Unload() override;

    void cmdSearch_Click();
    void cmdExit_Click();
    void ResetSearch();
    // Searches `folder` and below; true when the search was abandoned.
    bool DirDiver(const QString& folder);
    void drvList_Change();
    void dirList_Change();
    void txtSearchSpec_Change();
    void filList_DblClick();
    void lstFoundFiles_DblClick();

    bool SearchFlag = false;
    bool searching() const { return m_searching; }
    // Folders that could not be read in the last search.
    int skippedFolders() const { return m_skipped; }
    // Reads a folder during the search (tests put in a folder that fails).
    std::function<bool(const QString&, const NamePattern&, FolderListing&)> lister = listFolder;

    QWidget* Picture1 = nullptr;
    QWidget* Picture2 = nullptr;
    DriveListBox* drvList = nullptr;
    DirListBox* dirList = nullptr;
    FileListBox* filList = nullptr;
    QLineEdit* txtSearchSpec = nullptr;
    QListWidget* lstFoundFiles = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* lblSkipped = nullptr;
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdExit = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void flushFound();
    bool letEventsThrough();
    void openFolderOrSay(const QString& folder);

    bool m_searching = false;
    bool m_unloaded = false;
    bool m_closeAfterSearch = false;
    int m_found = 0;
    int m_skipped = 0;
    QStringList m_pending;
    QElapsedTimer m_sinceEvents;
};

} // namespace pb
