#include "data/attachments.h"

#include "platform/codepage.h"

#include <initializer_list>

namespace pb {

namespace {

bool containsAny(const QString& name, std::initializer_list<const char*> texts) {
    for (const char* t : texts)
        if (name.contains(QLatin1String(t), Qt::CaseInsensitive)) return true;
    return false;
}

} // namespace

AttachmentKind classifyAttachment(const QString& fileTitle) {
    if (containsAny(fileTitle,
                    {".bmp", ".dib", ".jpg", ".jpeg", ".gfif", ".gif", ".wmf", ".emf", ".cur", ".ico"}))
        return AttachmentKind::Picture;
    if (containsAny(fileTitle, {".wav", ".mp3", ".mid", ".midi"})) return AttachmentKind::Sound;
    if (containsAny(fileTitle, {".avi", ".mpeg", ".mpg", ".mpe", ".mpa", ".m1v", ".mpv2", ".wmv", ".wmx",
                                ".ivf", ".dat", ".asf"}))
        return AttachmentKind::Movie;
    return AttachmentKind::Misc;
}

int attachFileType(AttachmentKind kind) {
    switch (kind) {
    case AttachmentKind::Sound:
        return 1;
    case AttachmentKind::Movie:
        return 2;
    default:
        return 3;
    }
}

bool isBareFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0)) && name != QLatin1String(".") && name != QLatin1String("..");
}

AttachNameProblem attachmentNameProblem(const QString& fileTitle) {
    if (fileTitle.isEmpty()) return AttachNameProblem::Empty;
    if (!isBareFileName(fileTitle)) return AttachNameProblem::Separator;
    if (fileTitle.size() > kAttachmentNameWidth) return AttachNameProblem::TooLong;
    if (!codepage::representable(fileTitle)) return AttachNameProblem::NotRepresentable;
    if (fileTitle.front() == QLatin1Char(' ') || fileTitle.back() == QLatin1Char(' '))
        return AttachNameProblem::EdgeBlanks;
    return AttachNameProblem::None;
}

} // namespace pb
