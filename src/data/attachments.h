#pragma once

#include <QString>

namespace pb {

// How an attached file is kept: a picture in the record's own picture field,
// the other kinds in the attachment index.
enum class AttachmentKind { Picture, Sound, Movie, Misc };

// The kind of a file by the extension texts its name (without folder) contains
// anywhere, case-blind; the first kind with a hit wins (tune.wav.jpg is a picture).
AttachmentKind classifyAttachment(const QString& fileTitle);
// The index's number for a kind kept there: 1 sound, 2 movie, 3 other.
int attachFileType(AttachmentKind kind);

// Why a file name could not be stored in a 60-character name field and found
// again by it, or None when it can.
enum class AttachNameProblem {
    None,
    Empty,
    TooLong,          // longer than the field: it would be cut
    NotRepresentable, // characters the code page cannot hold would be changed
    EdgeBlanks,       // blanks at either end are lost when the field is read
    Separator,        // a separator or a NUL, or "." / "..": not a name inside one folder
};
constexpr int kAttachmentNameWidth = 60;
AttachNameProblem attachmentNameProblem(const QString& fileTitle);

// A name read from a book or an index names a file inside the attachments
// folder and nothing else: no separator of either kind, no NUL, not "." or "..".
bool isBareFileName(const QString& name);

} // namespace pb
