// The parameter checks of stack.h that need no template: the float range.
#include "scripting/binding/stack.h"

#include <cfloat>
#include <cmath>

namespace scripting::binding {

void CheckFloatRange(lua_State* L, int index, lua_Number value) {
  if (std::fabs(value) <= FLT_MAX) return;
  constexpr const char* kExpected = "number in the 32-bit float range expected, got ";
  // Named, not printed: printf spells a NaN "-nan" or "nan" by its sign bit.
  if (std::isnan(value)) luaL_argerror(L, index, lua_pushfstring(L, "%snan", kExpected));
  if (std::isinf(value))
    luaL_argerror(L, index, lua_pushfstring(L, "%s%s", kExpected, value > 0 ? "inf" : "-inf"));
  luaL_argerror(L, index, lua_pushfstring(L, "%s%f", kExpected, value));
}

}  // namespace scripting::binding
