#pragma once

#include <QString>

namespace pb {

// The open book is named by a folder and a file name joined as they stand:
// either "folder/" + "Name.q7b" or "folder" + "/Name.q7b".
struct DatabaseNames {
    QString path; // DataBasePath
    QString name; // DataBaseName

    QString databaseFile() const { return path + name; }
    // The name without its ".q7b" extension, separator kept when the name carries it.
    QString base() const;
    QString settingsFile() const { return path + base() + QStringLiteral(".set"); }
    QString attachmentIndexFile() const { return path + base() + QStringLiteral("AttachmentsRef.att"); }
    QString attachmentsFolder() const { return path + base() + QStringLiteral("Attachments"); }
};

// The names of a book opened by its full path: the folder without its trailing
// separator and "/" followed by the file name; a book in the root folder keeps "/"
// as its folder so that it never reads as "no folder".
DatabaseNames namesForPath(const QString& absolutePath);

// A file name without a trailing ".q7b" (any case). Only the extension goes:
// a ".q7b" inside the name or in a folder name is part of the name.
QString stripBookExtension(const QString& name);

} // namespace pb
