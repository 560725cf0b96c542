#pragma once

#include <QString>

namespace pb {

// The kinds of file that the frame opens, each in its own window.
enum class FileGroup {
    Picture,
    Text,
    WordProcessor,
    WebPage,
    Program,
    OldHelp,
    CompiledHelp,
    Movie,
    Sound,
    PhoneBook,
    None
};

// The group of a file by the extension texts anywhere in its whole path, any case.
FileGroup fileGroupOf(const QString& path);

} // namespace pb
