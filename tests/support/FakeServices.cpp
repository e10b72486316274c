#include "support/FakeServices.h"

namespace caldra::test {

long FakeRegistry::openKey(reg::Key, const QString &subKey, std::uint32_t, reg::Key *key)
{
    opened.append(subKey);
    if (!keys.count(subKey))
        return reg::ErrorFileNotFound;
    *key = m_nextHandle++;
    m_handles[*key] = subKey;
    ++openHandles;
    return reg::ErrorSuccess;
}

long FakeRegistry::queryValue(reg::Key key, const QString &name, std::uint32_t *type,
                              QByteArray *data, std::uint32_t *size)
{
    queried.append(name);
    const auto handle = m_handles.find(key);
    if (handle == m_handles.end())
        return 6; // ERROR_INVALID_HANDLE
    const auto &values = keys[handle->second];
    const auto value = values.find(name);
    if (value == values.end())
        return reg::ErrorFileNotFound;
    *type = value->second.type;
    std::copy(value->second.data.begin(), value->second.data.end(), data->begin());
    *size = value->second.size;
    return reg::ErrorSuccess;
}

long FakeRegistry::closeKey(reg::Key key)
{
    if (m_handles.erase(key))
        --openHandles;
    return reg::ErrorSuccess;
}

Services testServices(const QString &programFolder)
{
    Services s = Services::desktop();
    s.programFolder = programFolder;
    s.registry = std::make_shared<FakeRegistry>();
    s.launcher = std::make_shared<FakeLauncher>();
    return s;
}

} // namespace caldra::test
