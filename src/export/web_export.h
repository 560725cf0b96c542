#pragma once

#include "builders/web_pages.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace pb {

// The six texts built last, kept until the next build.
std::array<QByteArray, web::PageCount>& WebPages();
// The folder the texts were built for (the frames load the pages from there), ending in "/".
QString& WebFolder();

// Builds WebPages inside the progress window. False when the book could not be
// read: that has been told, and no page may be written from the texts.
bool StartWriteHtml();
// The job the progress window runs.
void BuildHtmlPages();

// Raises error 70 when the frameset or the folder would land on the open book.
void refuseBookTarget(const QString& framesetFile, const QString& folder);

// The preview set in the program folder.
QString webPreviewPage();
QString webPreviewFolder();
// Builds and writes the preview; false when the user ended it after a failure (told).
bool WriteWebPreview();

// The program folder's "Applet" folder, filled from the program's own files when missing.
QString appletFolder();

} // namespace pb
