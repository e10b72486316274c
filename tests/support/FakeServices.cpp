#include "support/FakeServices.h"

#include "support/FakeDecoder.h"

namespace caldra::test {

Services testServices(const QString &programFolder)
{
    Services s = Services::desktop();
    s.programFolder = programFolder;
    s.registry = std::make_shared<FakeRegistry>();
    s.launcher = std::make_shared<FakeLauncher>();
    s.makeDecoder = [] { return std::make_unique<FakeDecoder>(); };
    return s;
}

} // namespace caldra::test
