#include "zk/host/platform/SlotErrorText.h"

namespace zk::platform {

std::string SlotErrorText(DWORD Error) {
    switch (Error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:  // not even the slot directory is there
            return "no slot of that name on this machine";
        case ERROR_ACCESS_DENIED:
            return "access denied";
        case ERROR_BAD_NETPATH:
            return "no such machine";
        case ERROR_BAD_PATHNAME:
            return "not a valid slot name";
        case ERROR_ALREADY_EXISTS:
            return "a slot of that name exists already";
        case ERROR_INVALID_PARAMETER:
            return "the message is longer than the slot accepts";
        case ERROR_SEM_TIMEOUT:
            return "the slot stayed full";
        case ERROR_TOO_MANY_OPEN_FILES:
            return "too many open files";
        case ERROR_NOT_ENOUGH_MEMORY:
            return "not enough memory";
        default:
            return "system error " + std::to_string(Error);
    }
}

}  // namespace zk::platform
