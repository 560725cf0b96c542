#include "data/database_names.h"

namespace pb {

QString stripBookExtension(const QString& name) {
    static const QLatin1String ext(".q7b");
    if (name.endsWith(ext, Qt::CaseInsensitive)) return name.left(name.size() - ext.size());
    return name;
}

DatabaseNames namesForPath(const QString& absolutePath) {
    const qsizetype slash = absolutePath.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0) return {QStringLiteral("/"), absolutePath.mid(slash + 1)};
    return {absolutePath.left(slash), absolutePath.mid(slash)};
}

QString DatabaseNames::base() const {
    return stripBookExtension(name);
}

} // namespace pb
