// Attaching files to the shown record, opening its attachments, removing its picture.
#include "data/attachments.h"
#include "data/file_copy.h"
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/prompts.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QFileInfo>

namespace pb {

namespace {

// Runs a step whose failure must be told: Retry runs it again, any other answer
// stops the command.
bool reported(const std::function<void()>& step) {
    for (;;) {
        try {
            step();
            return true;
        } catch (...) {
            if (standardErrorDialog(asVbError(std::current_exception())) != ErrorAnswer::Retry) return false;
        }
    }
}

// A name that could not be stored as it is, or found again, is refused before anything is copied.
bool refuseName(const QString& name) {
    QString why;
    switch (attachmentNameProblem(name)) {
    case AttachNameProblem::None:
        return false;
    case AttachNameProblem::Empty:
        return true;
    case AttachNameProblem::TooLong:
        why = QStringLiteral("is longer than %1 characters, the most a phonebook keeps for an attached file.")
                  .arg(kAttachmentNameWidth);
        break;
    case AttachNameProblem::NotRepresentable:
        why = QStringLiteral("holds characters that a phonebook cannot keep (only Western European "
                             "letters are kept).");
        break;
    case AttachNameProblem::EdgeBlanks:
        why = QStringLiteral("begins or ends with a blank, which a phonebook cannot keep.");
        break;
    case AttachNameProblem::Separator:
        why = QStringLiteral("holds a backslash, which a phonebook cannot keep.");
        break;
    }
    MsgBox(QStringLiteral("The file name\r\n") + name + QStringLiteral("\r\n") + why +
               QStringLiteral("\r\nPlease rename the file and attach it again."),
           mb::OKOnly | mb::Exclamation, QStringLiteral("Cannot Attach File"));
    return true;
}

} // namespace

void Data::mnuAttach_Click() {
    ModulePhoneBook& m = pbm();
    // The index keys attachments by record number: one for the blank slot would pass to
    // whatever record is saved there next.
    if (m.current < 1 || m.current > m.RecordCount) {
        MsgBox(QStringLiteral("Save the new record before attaching a file to it."),
               mb::OKOnly | mb::Exclamation, QStringLiteral("Cannot Attach File"));
        return;
    }
    QString path;
    Steps(OnError::Ignore)([&] { path = SelectFileName(); });
    if (path.isEmpty() || !m.DatabaseFile) return;
    const QString name = QFileInfo(path).fileName();
    if (refuseName(name)) return;
    const QString folder = m.names().attachmentsFolder();
    const QString target = folder + QLatin1Char('/') + name;
    if (!reported([&] { files::createFolder(folder); })) return;

    // The copy comes first: a name is recorded only for a file that is in the folder.
    // Nothing to copy when the chosen file is that very file, or holds the same bytes.
    if (!files::sameFile(path, target) && !(files::fileExists(target) && files::sameContents(path, target))) {
        if (files::fileExists(target) &&
            MsgBox(QStringLiteral("A different file named ") + name +
                       QStringLiteral(" is already in the attachments folder of this phonebook.\r\n"
                                      "It may be attached to another record.\r\n"
                                      "Replace it with the file you chose?"),
                   mb::YesNo | mb::Question, QStringLiteral("Replace Attachment")) != mb::Yes)
            return;
        if (!reported([&] { files::copyFile(path, target); })) return;
    }

    const AttachmentKind kind = classifyAttachment(name);
    if (kind == AttachmentKind::Picture) {
        txtInfo[7]->setText(name);
        AddIt();
        return;
    }
    reported([&] {
        if (!m.AttachRef) throw VbError(91);
        m.AttachRef->AttachToRecord(m.current, name, attachFileType(kind));
    });
}

void Data::OpenAttachmentFile(const QString& fileTitle) {
    Steps(OnError::LeaveSilently)([&] {
        // A name from the index never leads out of the attachments folder.
        if (!isBareFileName(fileTitle)) throw VbError(err::BadFileName);
        Forms::get<VantrelMDI>()->OpenMyFile(pbm().names().attachmentsFolder() + QLatin1Char('/') + fileTitle,
                                             false);
    });
}

void Data::mnuSoundAtt_Click() {
    if (PbAttachRefClass* ref = pbm().AttachRef.get()) OpenAttachmentFile(ref->SoundAttachment());
}

void Data::mnuMovieAtt_Click() {
    if (PbAttachRefClass* ref = pbm().AttachRef.get()) OpenAttachmentFile(ref->MovieAttachment());
}

void Data::mnuFileAtt_Click() {
    if (PbAttachRefClass* ref = pbm().AttachRef.get()) OpenAttachmentFile(ref->MiscAttachment());
}

void Data::mnuRemoveAttachment_Click() {
    if (MsgBox(QStringLiteral("Delete the attachment to this record?"), mb::YesNo | mb::Question,
               QStringLiteral("Attachment Deletion")) != mb::Yes)
        return;
    Steps step([](const VbError& e) {
        return e.number() == err::FileNotFound ? ErrorAnswer::Ignore : standardErrorDialog(e);
    });
    // Only the record's picture name goes; the picture file stays in the folder.
    if (step([&] { txtInfo[7]->clear(); })) step([&] { AddIt(); });
}

} // namespace pb
