#include "accessories/file_walk.h"

#include "platform/native_name.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace pb {

namespace {

// '*' and '?' against a case-folded name, without recursion.
bool globMatch(QStringView glob, QStringView name) {
    qsizetype g = 0, n = 0, starG = -1, starN = 0;
    while (n < name.size()) {
        if (g < glob.size() && (glob[g] == QLatin1Char('?') || glob[g] == name[n])) {
            ++g;
            ++n;
        } else if (g < glob.size() && glob[g] == QLatin1Char('*')) {
            starG = g++;
            starN = n;
        } else if (starG >= 0) {
            g = starG + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == QLatin1Char('*'))
        ++g;
    return g == glob.size();
}

bool caseBlindLess(const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

} // namespace

NamePattern::NamePattern(const QString& patterns) : m_text(patterns) {
    for (const QString& part : patterns.split(QLatin1Char(';'))) {
        const QString p = part.trimmed().toCaseFolded();
        if (p.isEmpty()) continue;
        m_globs << p;
        // "name.*" also takes "name": the extension may be missing altogether.
        if (p.endsWith(QLatin1String(".*"))) m_globs << p.chopped(2);
    }
}

bool NamePattern::matches(QStringView name) const {
    const QString folded = name.toString().toCaseFolded();
    return std::any_of(m_globs.begin(), m_globs.end(),
                       [&](const QString& g) { return globMatch(g, folded); });
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

bool listFolder(const QString& folder, const NamePattern& pattern, FolderListing& out) {
    out.folders.clear();
    out.files.clear();
    // By the name's own bytes: a name that is not UTF-8 is listed, matched and opened as it is.
    DIR* dir = ::opendir(native::toBytes(folder).constData());
    if (!dir) return false;
    const int fd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            // A link counts as the file it points to; a link to a folder is left out.
            struct stat st {};
            const int flags = type == DT_LNK ? 0 : AT_SYMLINK_NOFOLLOW;
            if (::fstatat(fd, n, &st, flags) != 0) continue;
            const bool isDir = S_ISDIR(st.st_mode);
            if (type == DT_LNK && isDir) continue;
            type = isDir ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            out.folders << native::fromBytes(n);
        } else if (type == DT_REG) {
            QString name = native::fromBytes(n);
            if (pattern.matches(name)) out.files << std::move(name);
        }
    }
    ::closedir(dir);
    std::sort(out.folders.begin(), out.folders.end(), caseBlindLess);
    std::sort(out.files.begin(), out.files.end(), caseBlindLess);
    return true;
}

FolderWalk::Result FolderWalk::run(const QString& top) {
    struct Level {
        QString path;
        FolderListing listing;
        qsizetype next; // the subfolder searched next, counting down
    };
    Result result;
    std::vector<Level> stack;
    // Enters a folder: false when the search is abandoned.
    const auto enter = [&](const QString& path) {
        if (keepGoing && !keepGoing()) return false;
        Level level{path, {}, 0};
        ++result.folders;
        if (!list(path, level.listing)) {
            ++result.skipped;
            level.listing = {};
        }
        level.next = level.listing.folders.size() - 1;
        stack.push_back(std::move(level));
        return true;
    };
    if (!enter(top)) {
        result.abandoned = true;
        return result;
    }
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= 0) {
            const QString sub = joinPath(level.path, level.listing.folders[level.next--]);
            if (!enter(sub)) {
                result.abandoned = true;
                return result;
            }
            continue;
        }
        for (const QString& file : level.listing.files) {
            if (!found(joinPath(level.path, file))) {
                result.abandoned = true;
                return result;
            }
        }
        stack.pop_back();
    }
    return result;
}

} // namespace pb
