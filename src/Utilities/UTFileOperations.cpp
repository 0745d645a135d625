#include "Utilities/UTFileOperations.h"

#include <QFile>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
// Deeper trees than this are not copied: a bound on the recursion, far beyond real folders.
constexpr int MaximumDepth = 256;

fs::path toPath(const QString& path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

fs::perms toPerms(QFileDevice::Permissions permissions)
{
    fs::perms result = fs::perms::none;
    const std::pair<QFileDevice::Permission, fs::perms> table[] = {
        {QFileDevice::ReadOwner, fs::perms::owner_read},   {QFileDevice::WriteOwner, fs::perms::owner_write},
        {QFileDevice::ExeOwner, fs::perms::owner_exec},    {QFileDevice::ReadGroup, fs::perms::group_read},
        {QFileDevice::WriteGroup, fs::perms::group_write}, {QFileDevice::ExeGroup, fs::perms::group_exec},
        {QFileDevice::ReadOther, fs::perms::others_read},  {QFileDevice::WriteOther, fs::perms::others_write},
        {QFileDevice::ExeOther, fs::perms::others_exec},
    };
    for (const auto& [flag, perm] : table) {
        if (permissions.testFlag(flag)) result |= perm;
    }
    return result;
}

bool isWithin(const fs::path& inner, const fs::path& outer)
{
    const auto [outerEnd, innerAt] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return outerEnd == outer.end();
}

bool copyEntry(const fs::path& source, const fs::path& destination, int depth)
{
    if (depth > MaximumDepth) return false;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(source, error);
    if (error || !fs::exists(status)) return false;
    if (fs::is_symlink(status)) {
        fs::copy_symlink(source, destination, error);
        return !error;
    }
    if (fs::is_regular_file(status)) return fs::copy_file(source, destination, fs::copy_options::none, error) && !error;
    if (!fs::is_directory(status)) return false;

    const fs::file_status existing = fs::symlink_status(destination, error);
    if (!fs::exists(existing)) {
        if (!fs::create_directory(destination, source, error) || error) return false;
    }
    fs::directory_iterator entries(source, error);
    if (error) return false;
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) return false;
        const fs::path& entry = entries->path();
        if (!copyEntry(entry, destination / entry.filename(), depth + 1)) return false;
    }
    return !error;
}
}

bool UTFileOperations::createPathComponentsForPath(const QString& path, std::optional<QFileDevice::Permissions> permissions)
{
    fs::path prefix;
    for (const fs::path& component : toPath(path)) {
        if (component.empty()) continue;
        prefix /= component;
        std::error_code error;
        const fs::file_status status = fs::status(prefix, error);
        if (fs::exists(status)) {
            if (!fs::is_directory(status)) return false;
            continue;
        }
        if (!fs::create_directory(prefix, error) || error) return false;
        if (permissions) {
            fs::permissions(prefix, toPerms(*permissions), error);
            if (error) return false;
        }
    }
    return true;
}

bool UTFileOperations::recursiveCopyPath(const QString& source, const QString& destination)
{
    const fs::path from = toPath(source);
    const fs::path to = toPath(destination);
    std::error_code error;
    const fs::path canonicalFrom = fs::weakly_canonical(from, error);
    if (error) return false;
    const fs::path canonicalTo = fs::weakly_canonical(to, error);
    if (error) return false;
    if (fs::is_directory(fs::symlink_status(from, error)) && isWithin(canonicalTo, canonicalFrom)) return false;
    return copyEntry(from, to, 0);
}

bool UTFileOperations::recursiveRemoveFileAtPath(const QString& path)
{
    const fs::path target = toPath(path);
    std::error_code error;
    if (!fs::exists(fs::symlink_status(target, error))) return !error || error == std::errc::no_such_file_or_directory;
    fs::remove_all(target, error);
    return !error;
}
