// The phone book window's menu bar, right-click menu and toolbars.
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "workspace/error_steps.h"
#include "workspace/menu_builder.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace pb {

void Data::buildMenus() {
    MenuBuilder b{this, menuBar, m_actions};

    QMenu* file = b.top("mnuFile", "&File");
    connect(file, &QMenu::aboutToShow, this, [this] { mnuFile_Click(); });
    b.item(file, "mnuNewDataBase", "New Data&base...", nullptr, [this] { mnuNewDataBase_Click(); });
    b.sep(file);
    b.item(file, "mnuOpen", "&Open...", "Ctrl+O", [this] { mnuOpen_Click(); });
    b.item(file, "mnuSearch", "&Search...", nullptr, [] { ShowForm(QStringLiteral("frmSeek")); });
    b.sep(file);
    QMenu* newRecord = b.sub(file, "mnuNew", "&New Record");
    b.item(newRecord, "mnuSortedPosition", "At &Sorted Position", nullptr,
           [this] { mnuSortedPosition_Click(); });
    b.sep(newRecord);
    b.item(newRecord, "mnuInsertBefore", "&Before Current", nullptr, [this] { mnuInsertBefore_Click(); });
    b.item(newRecord, "mnuInsertAfter", "&After Current", "Ctrl+R", [this] { mnuInsertAfter_Click(); });
    b.item(newRecord, "mnuInsertBegining", "At Be&gining", nullptr, [this] { mnuInsertBegining_Click(); });
    b.item(newRecord, "mnuInsertEnd", "At En&d", nullptr, [this] { mnuInsertEnd_Click(); });
    b.sep(file);
    b.item(file, "mnuAttach", "Attac&h to this Record... ", "Ctrl+A", [this] { mnuAttach_Click(); });
    QMenu* load = b.sub(file, "mnuLoadAttachment", "&Load Attachment");
    b.item(
        load, "mnuSoundAtt", "&Sound", nullptr, [this] { mnuSoundAtt_Click(); }, true);
    b.item(
        load, "mnuMovieAtt", "&Movie", nullptr, [this] { mnuMovieAtt_Click(); }, true);
    b.item(
        load, "mnuFileAtt", "File &Type", nullptr, [this] { mnuFileAtt_Click(); }, true);
    b.sep(load);
    b.item(
        load, "mnuRemoveAttachment", "R&emove Attachment", nullptr, [this] { mnuRemoveAttachment_Click(); },
        true);
    b.sep(file);
    b.item(file, "mnuSave", "Save &Changes", "Ctrl+S", [this] { mnuSave_Click(); });
    b.item(file, "mnuSaveDataBaseAs", "Save Database &As...", nullptr, [this] { mnuSaveDataBaseAs_Click(); });
    b.sep(file);
    QMenu* preview = b.sub(file, "mnuPreview", "Pre&view Records");
    b.item(preview, "mnuCustomBrowser", "In &WebSurfer...", "F9", [this] { mnuCustomBrowser_Click(); });
    b.item(preview, "mnuFilePreview", "In &TextEditor...", nullptr, [this] { mnuFilePreview_Click(); });
    QMenu* mail = b.sub(file, "mnuMail", "&Mail");
    b.item(mail, "mnuMailTo", "To &Contact", nullptr, [this] { mnuMailTo_Click(); });
    b.item(mail, "mnuInfoAbout", "&Info about Contact", nullptr, [this] { mnuInfoAbout_Click(); });
    b.item(mail, "mnuSendAllRecords", "&All Records", nullptr, [this] { mnuSendAllRecords_Click(); });
    b.sep(file);
    b.item(file, "mnuRead", "&Read", "F8", {}, true);
    b.sep(file, true);
    b.item(file, "mnuDelete", "&Delete This Record", nullptr, [this] { mnuDelete_Click(); });
    b.sep(file);
    b.item(file, "mnuPrint", "&Print...", "Ctrl+P", [this] { mnuPrint_Click(); });
    b.sep(file);
    QMenu* manage = b.sub(file, "mnuManagment", "Mana&gment");
    b.item(manage, "mnuSortFirst", "Sort &by FirstName", nullptr, [this] { mnuSortFirst_Click(); });
    b.item(manage, "mnuSortLast", "Sort b&y LastName", nullptr, [this] { mnuSortLast_Click(); });
    b.sep(manage);
    b.item(manage, "mnuBackUp", "Back&up Database", nullptr, [this] { mnuBackUp_Click(); });
    QMenu* exportMenu = b.sub(manage, "mnuExport", "E&xport Database");
    b.item(exportMenu, "mnuSaveAsHtml", "To A &Web Page(.htm)...", nullptr,
           [this] { mnuSaveAsHtml_Click(); });
    b.item(exportMenu, "mnuSaveAs", "To A &Text File(.txt)...", nullptr, [this] { mnuSaveAs_Click(); });
    b.item(exportMenu, "mnuTransform", "To A &Database File (.sqlite)...", nullptr,
           [this] { mnuTransform_Click(); });
    b.sep(file);
    b.item(file, "mnuProperties", "Proper&ties...", nullptr, [this] { mnuProperties_Click(); });
    b.sep(file);
    b.item(file, "mnuClose", "Close Phoneboo&k", "Alt+Backspace", [this] { mnuClose_Click(); });

    QMenu* edit = b.top("mnuEdit", "&Edit");
    b.item(edit, "mnuFind", "&Find...", "Ctrl+F", [this] { mnuFind_Click(); });
    b.item(edit, "mnuFindNext", "Find Next", "F3", [this] { mnuFindNext_Click(); });
    b.sep(edit);
    b.item(edit, "mnuCopy", "C&opy", "Ctrl+C", [this] { mnuCopy_Click(); });
    b.item(edit, "mnuCut", "C&ut", "Ctrl+X", [this] { mnuCut_Click(); });
    b.item(edit, "mnuPaste", "P&aste", "Ctrl+V", [this] { mnuPaste_Click(); });
    b.sep(edit);
    b.item(edit, "mnuClear", "C&lear all", nullptr, [this] { mnuClear_Click(); });
    b.sep(edit);
    b.item(edit, "mnuRefresh", "&Refresh", nullptr, [] { Forms::get<VantrelMDI>()->mnuRefresh_Click(); });

    QMenu* view = b.top("mnuView", "&View");
    connect(view, &QMenu::aboutToShow, this, [this] { mnuView_Click(); });
    b.item(view, "mnuReport", "Phonebook &Report...", "F6", [this] { mnuReport_Click(); });
    b.sep(view);
    b.item(view, "mnuAppFolder", "&Application Folder...", nullptr,
           [] { Forms::get<VantrelMDI>()->mnuAppFolder_Click(); });
    b.item(view, "mnuDBFolder", "&Database Folder...", nullptr, [this] { mnuDBFolder_Click(); });
    b.item(view, "mnuDBAttacmentsFolder", "Database A&ttachments Folder...", nullptr,
           [this] { mnuDBAttacmentsFolder_Click(); });

    QMenu* tools = b.top("mnuTools", "&Tools");
    QMenu* settings = b.sub(tools, "mnuSettings", "&Settings", true);
    b.item(settings, "mnuFont", "&Font...", nullptr, [this] { mnuFont_Click(); });
    b.item(settings, "mnuBackColors", "Back&Color...", nullptr, [this] { mnuBackColors_Click(); });
    b.item(
        settings, "mnuBackPic", "Back&Picture...", nullptr, [this] { mnuBackPic_Click(); }, true);
    QMenu* restore = b.sub(settings, "mnuRestore", "&Restore", true);
    b.item(restore, "MnuHeightandWidth", "Default &Height and Width", nullptr,
           [this] { MnuHeightandWidth_Click(); });
    b.item(restore, "mnuFontandColor", "Default &Font and Color", nullptr,
           [this] { mnuFontandColor_Click(); });
    b.item(
        restore, "mnuRemoveBackPic", "Remove &BackPicture", nullptr, [this] { mnuRemoveBackPic_Click(); },
        true);
    b.item(tools, "mnuLinkward", "&Linkward...", nullptr, [this] { mnuLinkward_Click(); });
    b.item(tools, "mnuProHandler", "&WebSurfer...", nullptr, [] { ShowForm(QStringLiteral("frmBrowser")); });
    b.item(tools, "mnuTextEditor", "&TextEditor...", nullptr, [] { ShowForm(QStringLiteral("frmEditor")); });
    b.item(tools, "mnuDiaries", "&NotePapers...", "Ctrl+N", [] { ShowForm(QStringLiteral("frmDiaries")); });
    b.item(tools, "mnuPhoneDialer", "&PhoneDialer...", nullptr, {}, true);
    b.item(tools, "mnuAlarm", "Alar&m", nullptr, [] { ShowForm(QStringLiteral("frmAlarm")); });
    b.sep(tools);
    b.item(tools, "mnuOptions", "&Options...", nullptr, [this] { mnuOptions_Click(); });

    b.onlineMenu(OnlineMenu::PhoneBook);

    b.windowMenu();

    QMenu* help = b.top("mnuHelp", "&Help");
    b.item(help, "mnuContents", "&Contents... ", "F1", [this] { mnuContents_Click(); });
    b.sep(help);
    b.item(help, "mnuAbout", "&About Dorvane...", nullptr, [this] { mnuAbout_Click(); });

    // The right-click menu of the window's surface.
    mnuBackColor = new QMenu(QStringLiteral("BackGround"), this);
    mnuBackColor->setObjectName(QStringLiteral("mnuBackColor"));
    b.item(mnuBackColor, "mnuRNext", "&Next            Shift+Right", nullptr, [this] { mnuRNext_Click(); });
    b.item(mnuBackColor, "mnuRPrevious", "&Previous    Shift+Left", nullptr,
           [this] { mnuRPrevious_Click(); });
    b.item(mnuBackColor, "mnuRBegining", "&Begining    Shift+Down", nullptr,
           [this] { mnuRBegining_Click(); });
    b.item(mnuBackColor, "mnuREnd", "&End             Shift+Up", nullptr, [this] { mnuREnd_Click(); });
    b.sep(mnuBackColor);
    b.item(mnuBackColor, "mnuRFont", "&Font...", nullptr, [this] { mnuRFont_Click(); });
    QMenu* colours = b.sub(mnuBackColor, "mnuBackColorChoice", "Back&Color");
    struct Fixed {
        const char* name;
        const char* caption;
        void (Data::*click)();
    };
    for (const Fixed& c :
         {Fixed{"mnuBlack", "&Black", &Data::mnuBlack_Click},
          Fixed{"mnuWhite", "&White", &Data::mnuWhite_Click},
          Fixed{"mnuYellow", "&Yellow", &Data::mnuYellow_Click},
          Fixed{"mnuGreen", "&Green", &Data::mnuGreen_Click}, Fixed{"mnuRed", "&Red", &Data::mnuRed_Click},
          Fixed{"mnuBlue", "Bl&ue", &Data::mnuBlue_Click}, Fixed{"mnuCyan", "&Cyan", &Data::mnuCyan_Click},
          Fixed{"mnuMagenta", "&Magenta", &Data::mnuMagenta_Click}})
        b.item(colours, c.name, c.caption, nullptr, [this, click = c.click] { (this->*click)(); });
    b.sep(colours);
    b.item(colours, "mnuOther", "&Other...", nullptr, [this] { mnuOther_Click(); });
    QMenu* rrestore = b.sub(mnuBackColor, "mnuRRestore", "&Restore");
    b.item(rrestore, "mnuRHandW", "Default &Height and Width", nullptr, [this] { mnuRHandW_Click(); });
    b.item(rrestore, "mnuRFandC", "Default &Font and Color", nullptr, [this] { mnuRFandC_Click(); });
    b.item(
        rrestore, "mnuRRemovePic", "Remove &BackPicture", nullptr, [this] { mnuRRemovePic_Click(); }, true);
}

namespace {

struct Button {
    const char* key; // nullptr: a placeholder
    const char* tip;
    int picture;
    bool hidden;
};

struct MenuItem {
    const char* caption;
    const char* key;
};

QIcon pictureFor(int n) {
    static const std::map<int, const char*> files = {
        {1, "tb01-newrecord"},   {2, "tb02-save"},    {3, "tb03-open"},       {4, "tb04-copy"},
        {5, "tb05-cut"},         {6, "tb06-paste"},   {7, "tb07-print"},      {8, "tb08-find"},
        {13, "tb13-previous"},   {14, "tb14-end"},    {15, "tb15-beginning"}, {16, "tb16-next"},
        {17, "tb17-notepapers"}, {18, "tb18-insert"}, {20, "tb20-write"},     {21, "tb21-send"},
        {22, "tb22-preview"},    {24, "tb24-lock"},   {26, "tb26-options"}};
    const auto it = files.find(n);
    return it == files.end() ? QIcon()
                             : QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(it->second)));
}

QAction* addPlaceholder(QToolBar* bar) {
    auto* spacer = new QWidget(bar);
    spacer->setFixedWidth(8);
    return bar->addWidget(spacer);
}

} // namespace

void Data::buildToolbars() {
    const auto addButtons = [this](QToolBar* bar, std::initializer_list<Button> buttons,
                                   const std::map<QString, std::vector<MenuItem>>& menus,
                                   void (Data::*click)(const QString&),
                                   void (Data::*menuClick)(const QString&)) {
        for (const Button& btn : buttons) {
            if (!btn.key && !btn.tip && btn.picture < 0) {
                bar->addSeparator();
                continue;
            }
            if (!btn.key && !btn.hidden) {
                addPlaceholder(bar);
                continue;
            }
            const QString key = btn.key ? QString::fromLatin1(btn.key) : QString();
            auto* a =
                new QAction(pictureFor(btn.picture), btn.tip ? QString::fromLatin1(btn.tip) : QString(), bar);
            a->setObjectName(key.isEmpty() ? QStringLiteral("tbBlank") : QStringLiteral("tb") + key);
            a->setData(key);
            a->setToolTip(btn.tip ? QString::fromLatin1(btn.tip) : QString());
            bar->addAction(a);
            a->setVisible(!btn.hidden);
            a->setEnabled(!btn.hidden);
            if (key == QLatin1String("Lock")) a->setCheckable(true);
            connect(a, &QAction::triggered, this, [this, click, key] { (this->*click)(key); });
            const auto m = menus.find(key);
            if (m != menus.end()) {
                auto* menu = new QMenu(bar);
                for (const MenuItem& it : m->second) {
                    const QString itemKey = QString::fromLatin1(it.key);
                    if (QString::fromLatin1(it.caption) == QLatin1String("-")) {
                        menu->addSeparator();
                        continue;
                    }
                    QAction* ia = menu->addAction(QString::fromLatin1(it.caption));
                    ia->setData(itemKey);
                    ia->setObjectName(QStringLiteral("tbm") + itemKey);
                    connect(ia, &QAction::triggered, this,
                            [this, menuClick, itemKey] { (this->*menuClick)(itemKey); });
                }
                a->setMenu(menu);
                if (auto* tb = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
                    tb->setPopupMode(QToolButton::MenuButtonPopup);
            }
        }
    };

    addButtons(Toolbar1,
               {{"NewRecord", "New Record", 1, false},
                {"Open", "Open", 3, false},
                {"SaveRecord", "Save Changes", 2, false},
                {nullptr, nullptr, 0, false},
                {"Preview", "Preview in WebSurfer", 22, false},
                {"OpenData", "Open DataBase", 3, true},
                {"FindRecord", "Find ", 8, false},
                {nullptr, nullptr, 0, false},
                {"CopyRecord", "Copy Record", 4, false},
                {"CutRecord", "Cut Record", 5, false},
                {"PasteRecord", "Paste Record", 6, false},
                {nullptr, nullptr, 0, false},
                {"PrintRecord", "Print Otpions", 7, false},
                {nullptr, nullptr, 0, false},
                {nullptr, nullptr, 0, true},
                {"Lock", "Lock/Unlock", 24, false}},
               {{QStringLiteral("SaveRecord"),
                 {{"Save Changes", "Save"},
                  {"Save DataBase As...", "SaveDBas"},
                  {"-", "l0"},
                  {"Save DataBase As Text", "SaveText"},
                  {"Save DataBase As Html", "SaveHtml"}}}},
               &Data::Toolbar1_ButtonClick, &Data::Toolbar1_ButtonMenuClick);

    addButtons(Toolbar2,
               {{"PreviousRecord", "Previous (Shift+LeftArrow)", 13, false},
                {nullptr, nullptr, -1, false},
                {"EndRecord", "End (Shift+UpArrow)", 14, false},
                {"BeginingRecord", "Begining (Shift+DownArrow)", 15, false},
                {nullptr, nullptr, -1, false},
                {"NextRecord", "Next (Shift+RightArrow)", 16, false},
                {nullptr, nullptr, 0, false},
                {"Insert", "Insert a Record", 18, false},
                {nullptr, nullptr, 0, false},
                {"Write", "Write Mail to Contact", 20, false},
                {"Send", "Send Now", 21, false},
                {nullptr, nullptr, 0, false},
                {"NotePapers", "NotePapers", 17, false},
                {"Options", "Options", 26, false}},
               {{QStringLiteral("Insert"),
                 {{"Insert Sorted", "InsertSorted"},
                  {"-", "l1"},
                  {"Insert Before", "InsertBefore"},
                  {"Insert After", "InsertAfter"},
                  {"Insert at Begining", "InsertBegining"},
                  {"Insert at End", "InsertEnd"}}},
                {QStringLiteral("Write"),
                 {{"Send Mail to Contact", "SendMail"},
                  {"Send Info about Contact", "SendInfo"},
                  {"Send all Records", "SendAll"}}}},
               &Data::Toolbar2_ButtonClick, &Data::Toolbar2_ButtonMenuClick);
}

void Data::mnuFile_Click() {
    ModulePhoneBook& m = pbm();
    Steps step(OnError::Ignore);
    step([&] { action(QStringLiteral("mnuNew"))->setEnabled(m.RecordCount != 0); });
    // Attaching and loading need a stored record: not on the blank new-record slot.
    step([&] {
        action(QStringLiteral("mnuAttach"))->setEnabled(m.current <= m.RecordCount);
        action(QStringLiteral("mnuLoadAttachment"))->setEnabled(m.current <= m.RecordCount);
    });
    bool found = false;
    step([&] { found = m.AttachRef && m.AttachRef->getAttachedFiles(m.current); });
    step([&] {
        PbAttachRefClass* ref = m.AttachRef.get();
        action(QStringLiteral("mnuSoundAtt"))->setVisible(found && ref->SoundExist());
        action(QStringLiteral("mnuMovieAtt"))->setVisible(found && ref->MovieExist());
        action(QStringLiteral("mnuFileAtt"))->setVisible(found && ref->MiscExist());
        if (!found) action(QStringLiteral("mnuLoadAttachment"))->setEnabled(false);
    });
}

void Data::Toolbar1_ButtonClick(const QString& key) {
    Steps step(OnError::Ignore);
    const std::map<QString, std::function<void()>> editCommands = {
        {QStringLiteral("FindRecord"), [this] { mnuFind_Click(); }},
        {QStringLiteral("CopyRecord"), [this] { mnuCopy_Click(); }},
        {QStringLiteral("CutRecord"), [this] { mnuCut_Click(); }},
        {QStringLiteral("PasteRecord"), [this] { mnuPaste_Click(); }},
        {QStringLiteral("PrintRecord"), [this] { mnuPrint_Click(); }}};
    if (key == QLatin1String("NewRecord")) {
        step([] { playSound(sound::ToolbarClick); });
        step([&] { InsertAtEnd(QString(), QString()); });
        step([&] { FillRecordList(); });
    } else if (key == QLatin1String("Open")) {
        step([] { playSound(sound::ToolbarClick); });
        step([&] { mnuOpen_Click(); });
    } else if (key == QLatin1String("Preview")) {
        step([] { playSound(sound::ToolbarClick); });
        step([&] { mnuCustomBrowser_Click(); });
    } else if (key == QLatin1String("SaveRecord")) {
        step([] { playSound(sound::ToolbarClick); });
        step([&] { AddIt(); });
    } else if (const auto it = editCommands.find(key); it != editCommands.end()) {
        step([] { playSound(sound::ToolbarClick); });
        step(it->second);
    } else if (key == QLatin1String("Lock")) {
        step([] { playSound(sound::Lock); });
        QAction* lock = toolbarButton(Toolbar1, 16);
        if (lock && lock->isChecked()) {
            step([&] { CheckChanges(); });
            step([&] { setLocked(true); });
        } else {
            step([&] { setLocked(false); });
        }
    }
}

void Data::Toolbar1_ButtonMenuClick(const QString& key) {
    Steps step(OnError::Ignore);
    if (key == QLatin1String("Save"))
        step([&] { AddIt(); });
    else if (key == QLatin1String("SaveDBas"))
        step([&] { mnuSaveDataBaseAs_Click(); });
    else if (key == QLatin1String("SaveHtml"))
        step([&] { mnuSaveAsHtml_Click(); });
    else if (key == QLatin1String("SaveText"))
        step([&] { mnuSaveAs_Click(); });
}

void Data::Toolbar2_ButtonClick(const QString& key) {
    Steps step(OnError::Ignore);
    const std::map<QString, std::function<void()>> nav = {
        {QStringLiteral("PreviousRecord"), [this] { MovePrevious(); }},
        {QStringLiteral("EndRecord"), [this] { MoveLast(); }},
        {QStringLiteral("BeginingRecord"), [this] { MoveFirst(); }},
        {QStringLiteral("NextRecord"), [this] { MoveNext(); }}};
    if (const auto it = nav.find(key); it != nav.end()) {
        step([] { playSound(sound::Navigate); });
        step(it->second);
    } else if (key == QLatin1String("Insert")) {
        step([] { playSound(sound::ToolbarClick); });
        step([&] { InsertAfter(QStringLiteral("*Inserted Record*"), QString()); });
        step([&] { FillRecordList(); });
    } else if (key == QLatin1String("Write")) {
        step([] { playSound(sound::ToolbarClick); });
        step([&] { mnuMailTo_Click(); });
    } else if (key == QLatin1String("Send")) {
        step([] { playSound(sound::ToolbarClick); });
        step([&] { sendPanel(); });
    } else if (key == QLatin1String("NotePapers")) {
        step([] { playSound(sound::ToolbarClick); });
        step([] { ShowForm(QStringLiteral("frmDiaries")); });
    } else if (key == QLatin1String("Options")) {
        step([] { playSound(sound::ToolbarClick); });
        step([] { ShowForm(QStringLiteral("frmOptions")); });
    }
}

void Data::Toolbar2_ButtonMenuClick(const QString& key) {
    Steps step(OnError::Ignore);
    if (key == QLatin1String("InsertSorted"))
        step([&] { mnuSortedPosition_Click(); });
    else if (key == QLatin1String("InsertAfter"))
        step([&] { mnuInsertAfter_Click(); });
    else if (key == QLatin1String("InsertBefore"))
        step([&] { mnuInsertBefore_Click(); });
    else if (key == QLatin1String("InsertBegining"))
        step([&] { mnuInsertBegining_Click(); });
    else if (key == QLatin1String("InsertEnd"))
        step([&] { mnuInsertEnd_Click(); });
    else if (key == QLatin1String("SendMail"))
        step([&] { mnuMailTo_Click(); });
    else if (key == QLatin1String("SendInfo"))
        step([&] { mnuInfoAbout_Click(); });
    else if (key == QLatin1String("SendAll"))
        step([&] { mnuSendAllRecords_Click(); });
}

} // namespace pb
