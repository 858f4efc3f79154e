// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "common/failure.h"

#include <cerrno>
#include <cstring>

namespace scanforms {

std::string describeErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "File not found";
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return "Permission denied";
        case ENOSPC:
        case EFBIG:
#ifdef EDQUOT  // not in the C runtime of Windows
        case EDQUOT:
#endif
            return "Disk full";
        case EISDIR:
            return "Path/File access error";
        case ENAMETOOLONG:
            return "Bad file name";
        case EMFILE:
        case ENFILE:
            return "Too many files";
        case EIO:
            return "Device I/O error";
        case ENXIO:
        case ENODEV:
            return "Device unavailable";
        default:
            return std::strerror(error);
    }
}

}  // namespace scanforms
