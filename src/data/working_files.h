#pragma once

// The names of the program's own files in the program folder. Their owners build their paths
// from these, and no place the user names to write may be one of them.
namespace pb::working {

inline constexpr char kClipboard[] = "PhoneClip.q7B";
inline constexpr char kSortFile[] = "Sort.q7B";
inline constexpr char kPrintFile[] = "PhonePrint.q7P";
inline constexpr char kNotes[] = "Diaries.q7D";
inline constexpr char kEditorSettings[] = "PBTextEditor.set";
inline constexpr char kPreviewPage[] = "PhoneHtml.htm";
inline constexpr char kDatabaseFile[] = "My MDB Phonebook.sqlite";
// Folders, each with everything inside.
inline constexpr char kAppletFolder[] = "Applet";
inline constexpr char kPreviewFolder[] = "Dorvane2 WebPage Components";

} // namespace pb::working
