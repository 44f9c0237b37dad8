// The Help Expert as a loadable package: the entries a host calls after loading the library
// (the units' initialisation, then the registration) and before unloading it (the
// finalisation). The mailslot unit initialises itself when the library is loaded.
#include "zk/expert/P0200.h"
#include "zk/expert/ReplyChannel.h"

#define ZK_PACKAGE_ENTRY extern "C" __attribute__((visibility("default")))

ZK_PACKAGE_ENTRY void ZkPackageInitialize() { zk::expert::P0200::Initialization(); }
ZK_PACKAGE_ENTRY void ZkPackageRegister() { zk::expert::P0200::Register(); }
ZK_PACKAGE_ENTRY void ZkPackageFinalize() { zk::expert::P0200::Finalization(); }
// The host's switch for the window's reply channel (nonzero: on), over the registry value.
ZK_PACKAGE_ENTRY void ZkPackageSetReplyChannel(int On) {
    zk::expert::SetReplyChannelOverride(On != 0);
}
