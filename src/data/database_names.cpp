#include "data/database_names.h"

namespace pb {

QString stripBookExtension(const QString& name) {
    static const QLatin1String ext(".q7b");
    if (name.endsWith(ext, Qt::CaseInsensitive)) return name.left(name.size() - ext.size());
    return name;
}

QString DatabaseNames::base() const {
    return stripBookExtension(name);
}

} // namespace pb
