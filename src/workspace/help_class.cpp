#include "workspace/help_class.h"

#include "platform/shell.h"
#include "platform/sounds.h"
#include "platform/vb_error.h"

#include <QFile>
#include <QStringList>
#include <map>

namespace pb {

void HelpClass::Show(const QString& NewFile, const QString& WindowPane, std::optional<int> ContextID) {
    QString target = NewFile;
    if (!WindowPane.isEmpty()) target = NewFile.trimmed() + QLatin1Char('>') + WindowPane.trimmed();
    // The desktop opens the help file itself; the pane and context only matter to a help viewer.
    const QString file = target.section(QLatin1Char('>'), 0, 0);
    Q_UNUSED(ContextID);
    bool ok = false;
    try {
        ok = shell().openPath(file);
    } catch (...) {
        ok = false;
    }
    if (!ok) throw VbError(err::HelpFailed, QStringLiteral("Help file could not be opened: ") + target);
}

void HelpClass::PlaySoundNumber(int SoundNumber, bool PlayIt) {
    if (!PlayIt) return;
    try {
        QFile f(QStringLiteral(":/sounds/%1.wav").arg(SoundNumber));
        if (!f.open(QIODevice::ReadOnly)) return;
        m_sound = f.readAll();
        soundOutput().playWave(SoundNumber, m_sound);
    } catch (...) {
    }
}

QString HelpClass::DescribeError(long ErrorNum) {
    static const std::map<long, QStringList> texts = {
        {6,
         {"An overflow occured as a result of an assignment",
          "that exceeds the limitations of the application"}},
        {7, {"More memory was required than is available for this action"}},
        {14,
         {"Your system may have run out of memory, which prevented a string",
          "from being allocated. Remove any unnecessary applications from memory",
          "to create more space. If that doesn't solve the probelm then abort"}},
        {51, {"An internal malfunction has occurred"}},
        {53, {"Cannot find the specified file", "If this file is attached to record, remove the attachment"}},
        {57,
         {"An input or output error occurred while your program was using",
          "a device such as a printer or disk drive",
          "Make sure the device is operating properly, and then retry the operation"}},
        {58,
         {"File already exist. Specify a new file name in the Name statement",
          "or delete the old file before specifying it in a Name statement"}},
        {61, {"Disk is full"}},
        {68,
         {"Your network connection may have been broken",
          "Reconnect to the network and retry the operation"}},
        {70, {"An attempt was made to write to a write-protected disk or", "to access a locked file"}},
        {71, {"There is no disk in the specified drive", "Put a disk in the drive and retry the operation"}},
        {74, {"Cannot move file to specified location. Try to move it manually"}},
        {75, {"Path/File access error"}},
        {76, {"Unable to find the specified path", "Respecify the path"}},
        {91, {"Cannot use object to handle requested operation"}},
        {298, {"A .dll file provided by the operating system couldn't be found"}},
        {320,
         {"You tried to use a file name such as AUX, CON, COM1,",
          "COM2, LPT1, LPT2, LPT3, LPT4, or NUL. Give the file another name"}},
        {321, {"The format of the data in the file is incompatible with the application"}},
        {325,
         {"The resource file you're trying to retrieve has an invalid format,",
          "or a specific resource in the file has an invalid format",
          "If the file contents have been damaged, reinstall the file from",
          "its original disk. If the error continues, contact the provider",
          "of the resource for a new file or a version of the resource with the expected format"}},
        {335, {"An attempt to read from or write to the system registry failed"}},
        {336, {"The ActiveX component has not been properly registered in the system registry"}},
        {337, {"The required .exe or .dll file can't be found"}},
        {338,
         {"The ActiveX component's .exe file failed to run correctly",
          "There may be a problem with the information in the registry"}},
        {368, {"The file specified is out of date. This program requires a later version"}},
        {419, {"You don't have the necessary permissions for the specified object"}},
        {429, {"Cannot use an object to perform the requested operation"}},
        {430, {"Automation is not supported"}},
        {460,
         {"You tried to place data from a component on the Clipboard,",
          "but the data is in a format incompatible with the Clipboard"}},
        {462, {"The remote server machine does not exist or is unavailable"}},
        {463, {"Class is not registered on local machine. Install program locally"}},
        {481, {"Invalid picture"}},
        {482,
         {"Printer error", "You must physically examine the printer",
          "Make sure all connections between computer and printer are solid",
          "Most printers provide a display for error information such as 'Out of paper,' 'Offline,'..."}},
        {484,
         {"Problem getting printer information from the system", "make sure the printer is set up correctly",
          "This error has the following causes and solutions:",
          " _You don't have a printer installed from the Windows Control Panel",
          " Open the Control Panel, double-click the Printers icon,",
          " and click Add Printer to install a printer",
          " _Your printer isn't online. Physically switch the printer online",
          " _Your printer is jammed or out of paper. Physically correct the problem"}},
        {485,
         {"The resource file picture format you tried to load doesn't match the",
          "specified property of the object"}},
        {486, {"You must have a graphics-capable printer to print a form image"}},
        {31001,
         {"Your system could not allocate or access enough memory",
          "or disk space for the specified operation"}},
        {31004, {"You tried to perform an action on an object that doesn't exist"}},
        {31036, {"Error saving to file. Possibly, there isn't enough disk space"}},
        {31037, {"Error loading from file. The file is corrupted"}},
        {32755, {"Operation Cancelled"}},
    };
    const auto it = texts.find(ErrorNum);
    return it == texts.end() ? QStringLiteral("Unable to proceed") : it->second.join(QStringLiteral("\r\n"));
}

} // namespace pb
