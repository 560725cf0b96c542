#pragma once

#include <QIcon>
#include <QString>

namespace pb {

// The picture of an editor toolbar button, by the button's key.
QIcon editorIcon(const QString& key);

} // namespace pb
