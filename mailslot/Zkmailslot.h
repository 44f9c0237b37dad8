// The mailslot messaging library: the receiving endpoint and its wait thread, the plain
// senders, the frame checksum and the framed formats.
#pragma once

#include <cstdint>

#include "zk/Export.h"
#include "zk/mailslot/ZkChecksum.h"
#include "zk/mailslot/ZkEndpoint.h"
#include "zk/mailslot/ZkLongMail.h"
#include "zk/mailslot/ZkNoErrMail.h"
#include "zk/mailslot/ZkSecureMail.h"
#include "zk/mailslot/ZkSend.h"
#include "zk/mailslot/ZkWinPopup.h"

namespace zk {

// The library's unit initialisation and finalisation. They count; the first initialisation
// seeds the library's pseudo-random generator. A program that links the library is initialised
// once at start-up.
ZK_EXPORT void ZkmailslotInitialization();
ZK_EXPORT void ZkmailslotFinalization();

// The library's registration routine for the host's designer: it registers nothing.
ZK_EXPORT void Register();

// Makes the library's published component classes known to the streaming layer.
ZK_EXPORT void RegisterMailSlotClasses();

// A tag drawn from the library's generator: a pseudo-random number below the current tick count
// (0 when the tick count is 0), of which the low 16 bits are kept.
ZK_EXPORT uint16_t DrawFrameTag();

}  // namespace zk
