#include "support/FakeServices.h"

namespace caldra::test {

Services testServices(const QString &programFolder)
{
    Services s = Services::desktop();
    s.programFolder = programFolder;
    s.registry = std::make_shared<FakeRegistry>();
    s.launcher = std::make_shared<FakeLauncher>();
    return s;
}

} // namespace caldra::test
