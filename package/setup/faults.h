// Named faults injected into an installed package, so demos and tests start from a known
// broken state. `Install` undoes every one of them.
#pragma once
#include <string>
#include <vector>

#include "setup_log.h"

namespace pkg {

struct FaultInfo {
    const wchar_t* name;
    const wchar_t* description;
};
const std::vector<FaultInfo>& Faults();

// Whether `name` is one of Faults(); InjectFault does nothing for other names.
bool IsFault(const std::wstring& name);
void InjectFault(const std::wstring& name, const std::wstring& payloadDir, SetupLog& log);

}  // namespace pkg
