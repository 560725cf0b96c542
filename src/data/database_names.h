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

// A file name without a trailing ".q7b" (any case). Only the extension goes:
// a ".q7b" inside the name or in a folder name is part of the name.
QString stripBookExtension(const QString& name);

} // namespace pb
