// Tests name the project's types and calls unqualified, as the code under test does.
#pragma once

namespace zk::platform {}
namespace zk::rtl {}
namespace zk::formfile {}
namespace zk::win32 {}
namespace zk::forms {}
namespace zk::registry {}
namespace zk::ide {}
namespace zk::expert {}

using namespace zk;
using namespace zk::rtl;
using namespace zk::formfile;
using namespace zk::win32;
using namespace zk::forms;
using namespace zk::registry;
using namespace zk::ide;
using namespace zk::expert;
