// What the 3G module detector needs of its surroundings: the present devices,
// asked through the management instrumentation connection the display profile
// store holds.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace osd {

class IDeviceQuery {
public:
    virtual ~IDeviceQuery() = default;
    // Whether the store behind the connection has been initialised.
    virtual bool Initialized() const = 0;
    // Whether it holds a services connection.
    virtual bool Connected() const = 0;
    // The "DeviceID" of every object the WQL query returns, in order.
    virtual HRESULT QueryDeviceIds(const wchar_t* query, std::vector<std::wstring>* deviceIds) = 0;
};

}  // namespace osd
