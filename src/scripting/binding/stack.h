// Conversions between Lua values and engine values: how each parameter type is
// checked and read, how each result type is pushed, and Push for engine code.
//
// Every check or push that may raise a Lua error runs where no C++ object with a
// destructor is alive; the engine function itself runs between them inside Guarded,
// which turns its C++ exceptions into error values.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include <lua.hpp>

#include "scripting/binding/userdata.h"

namespace scripting::binding {

template <class T>
using Bare = std::remove_cvref_t<T>;

template <class T>
concept Boolean = std::is_same_v < Bare<T>,
bool > ;

template <class T>
concept Number = (std::is_arithmetic_v<Bare<T>> || std::is_enum_v<Bare<T>>)&&!Boolean<T>;

template <class T>
concept StringLike = std::is_same_v<Bare<T>, std::string> || std::is_same_v<Bare<T>, std::string_view>;

template <class T>
concept CString = std::is_same_v < std::decay_t<T>,
const char* > || std::is_same_v<std::decay_t<T>, char*>;

// A registered engine class (anything of class type that is not a string).
template <class T>
concept ClassObject = std::is_class_v<Bare<T>> && !StringLike<T>;

template <class T>
concept ObjectPointer = std::is_pointer_v<Bare<T>> && ClassObject<std::remove_pointer_t<Bare<T>>>;

// A number converted to an integer type saturates at the type's limits (NaN gives
// 0) instead of the undefined behaviour of an out-of-range cast.
template <class N>
N ToNumber(lua_Number value) {
  if constexpr (std::is_enum_v<N>) {
    return static_cast<N>(ToNumber<std::underlying_type_t<N>>(value));
  } else if constexpr (std::is_floating_point_v<N>) {
    return static_cast<N>(value);
  } else {
    if (value != value) return 0;
    constexpr auto kLow = static_cast<lua_Number>(std::numeric_limits<N>::min());
    constexpr auto kHigh = static_cast<lua_Number>(std::numeric_limits<N>::max());
    if (value <= kLow) return std::numeric_limits<N>::min();
    if (value >= kHigh) return std::numeric_limits<N>::max();
    return static_cast<N>(value);
  }
}

template <class N>
lua_Number FromNumber(N value) {
  if constexpr (std::is_enum_v<N>) {
    return static_cast<lua_Number>(static_cast<std::underlying_type_t<N>>(value));
  } else {
    return static_cast<lua_Number>(value);
  }
}

// ---- Parameters: Check (may raise, gives a trivially destructible Raw) and Get.

template <class P>
struct Arg {
  static_assert(sizeof(P) == 0, "parameter type cannot be bound to Lua");
};

// Raises "number in the 32-bit float range expected, got nan" (or inf, -inf, the
// value) unless value is finite and fits a float: the engine keeps positions, scales,
// angles and speeds as floats, and a NaN or an infinity in them spreads through
// every later computation, so scripts meet the rule level files keep.
void CheckFloatRange(lua_State* L, int index, lua_Number value);

template <Number P>
struct Arg<P> {
  using Raw = lua_Number;
  static Raw Check(lua_State* L, int index) {
    const lua_Number value = luaL_checknumber(L, index);
    if constexpr (std::is_same_v<Bare<P>, float>) CheckFloatRange(L, index, value);
    return value;
  }
  static Bare<P> Get(Raw raw) { return ToNumber<Bare<P>>(raw); }
};

template <Boolean P>
struct Arg<P> {
  using Raw = bool;
  static Raw Check(lua_State* L, int index) { return lua_toboolean(L, index) != 0; }
  static bool Get(Raw raw) { return raw; }
};

template <StringLike P>
struct Arg<P> {
  struct Raw {
    const char* data;
    std::size_t size;
  };
  // A number is turned into a string in its slot, as luaL_checklstring does.
  static Raw Check(lua_State* L, int index) {
    Raw raw{};
    raw.data = luaL_checklstring(L, index, &raw.size);
    return raw;
  }
  static Bare<P> Get(Raw raw) { return Bare<P>(raw.data, raw.size); }
};

template <class P>
requires std::is_same_v < Bare<P>,
const char* > struct Arg<P> {
  using Raw = const char*;
  static Raw Check(lua_State* L, int index) { return luaL_checkstring(L, index); }
  static Raw Get(Raw raw) { return raw; }
};

// U* or const U*: nil gives null.
template <ObjectPointer P>
struct Arg<P> {
  using Object = std::remove_pointer_t<Bare<P>>;
  using Raw = Object*;
  static Raw Check(lua_State* L, int index) {
    if (lua_isnoneornil(L, index)) return nullptr;
    return static_cast<Raw>(CheckObject(L, index, KeyOf<Object>(), std::is_const_v<Object>));
  }
  static Raw Get(Raw raw) { return raw; }
};

// U&, const U& or U by value: nil is refused; only U& refuses a const object.
template <ClassObject P>
struct Arg<P> {
  static_assert(!std::is_rvalue_reference_v<P>, "rvalue reference parameters are not bound");
  static constexpr bool kMutable =
      std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;
  using Object = Bare<P>;
  using Raw = Object*;
  static Raw Check(lua_State* L, int index) {
    return static_cast<Raw>(CheckObject(L, index, KeyOf<Object>(), !kMutable));
  }
  static std::conditional_t<kMutable, Object&, const Object&> Get(Raw raw) { return *raw; }
};

// ---- Results: Prepare (may raise, before the call), Call (the engine function,
// inside Guarded), Push (may raise, after the call). Slot is trivially destructible.

template <class R>
struct Result {
  static_assert(sizeof(R) == 0, "result type cannot be bound to Lua");
};

template <>
struct Result<void> {
  struct Slot {};
  static void Prepare(lua_State*, Slot&) {}
  template <class Make>
  static bool Call(lua_State* L, Slot&, const Make& make) noexcept {
    return Guarded(L, [&] { make(); });
  }
  static int Push(lua_State*, Slot&) { return 0; }
};

// Numbers, booleans and C strings: the value is kept and pushed afterwards.
template <class R>
requires Number<R> || Boolean<R> || CString<R>
struct Result<R> {
  struct Slot {
    std::decay_t<Bare<R>> value;
  };
  static void Prepare(lua_State*, Slot&) {}
  template <class Make>
  static bool Call(lua_State* L, Slot& slot, const Make& make) noexcept {
    return Guarded(L, [&] { slot.value = make(); });
  }
  static int Push(lua_State* L, Slot& slot) {
    if constexpr (Boolean<R>) {
      lua_pushboolean(L, slot.value);
    } else if constexpr (CString<R>) {
      lua_pushstring(L, slot.value);  // null gives nil
    } else {
      lua_pushnumber(L, FromNumber(slot.value));
    }
    return 1;
  }
};

// std::string results are pushed while the string is alive, in a protected call.
template <StringLike R>
struct Result<R> {
  struct Slot {};
  static void Prepare(lua_State*, Slot&) {}
  template <class Make>
  static bool Call(lua_State* L, Slot&, const Make& make) noexcept {
    bool pushed = false;
    const bool ok = Guarded(L, [&] {
      const Bare<R>& text = make();
      pushed = ProtectedPushString(L, text.data(), text.size());
    });
    return ok && pushed;
  }
  static int Push(lua_State*, Slot&) { return 1; }
};

// U*, const U* and U&: a UserdataPtr to the engine's object (nil for null).
template <class R>
requires ObjectPointer<R> ||(std::is_lvalue_reference_v<R> && !std::is_const_v<std::remove_reference_t<R>> &&
                             ClassObject<R>)struct Result<R> {
  using Object =
      std::conditional_t<std::is_pointer_v<R>, std::remove_pointer_t<R>, std::remove_reference_t<R>>;
  struct Slot {
    Object* pointer;
  };
  static void Prepare(lua_State*, Slot&) {}
  template <class Make>
  static bool Call(lua_State* L, Slot& slot, const Make& make) noexcept {
    if constexpr (std::is_pointer_v<R>) {
      return Guarded(L, [&] { slot.pointer = make(); });
    } else {
      return Guarded(L, [&] { slot.pointer = &make(); });
    }
  }
  static int Push(lua_State* L, Slot& slot) {
    PushPointer(L, slot.pointer, KeyOf<Object>(), std::is_const_v<Object>);
    return 1;
  }
};

// U by value or const U&: a new UserdataValue holding a copy. The userdata is made
// before the call so that nothing can fail between the call and the push.
template <class R>
requires ClassObject<R> &&
    (!std::is_reference_v<R> || std::is_const_v<std::remove_reference_t<R>>)struct Result<R> {
  using Object = Bare<R>;
  struct Slot {
    void* memory;
  };
  static void Prepare(lua_State* L, Slot& slot) {
    CheckRegistered(L, KeyOf<Object>());
    slot.memory = NewBlock(L, sizeof(UserdataValue<Object>));
  }
  template <class Make>
  static bool Call(lua_State* L, Slot& slot, const Make& make) noexcept {
    return Guarded(L, [&] {
      new (slot.memory) UserdataValue<Object>(typename UserdataValue<Object>::FromCall{}, make);
    });
  }
  static int Push(lua_State* L, Slot&) {
    SetClassMetatable(L, KeyOf<Object>(), false);
    return 1;
  }
};

// ---- Engine side.

// Pushes an engine value: nil for nullptr, numbers, booleans, strings, a UserdataPtr
// for a pointer to a registered class (const pointer: const object; null: nil), and
// a UserdataValue copy for a registered class object. May raise a Lua error, so call
// it inside a protected call (RunProtected) or a bound function.
template <class T>
void Push(lua_State* L, T&& value) {
  using D = std::decay_t<T>;
  if constexpr (std::is_same_v<D, std::nullptr_t>) {
    lua_pushnil(L);
  } else if constexpr (Boolean<D>) {
    lua_pushboolean(L, value);
  } else if constexpr (Number<D>) {
    lua_pushnumber(L, FromNumber<D>(value));
  } else if constexpr (CString<D>) {
    lua_pushstring(L, value);
  } else if constexpr (StringLike<D>) {
    lua_pushlstring(L, value.data(), value.size());
  } else if constexpr (ObjectPointer<D>) {
    using Object = std::remove_pointer_t<D>;
    PushPointer(L, value, KeyOf<Object>(), std::is_const_v<Object>);
  } else if constexpr (ClassObject<D>) {
    CheckRegistered(L, KeyOf<D>());
    void* memory = NewBlock(L, sizeof(UserdataValue<D>));
    if (!Guarded(L, [&] { new (memory) UserdataValue<D>(std::in_place, std::forward<T>(value)); })) {
      RaiseTop(L);
    }
    SetClassMetatable(L, KeyOf<D>(), false);
  } else {
    static_assert(sizeof(T) == 0, "value cannot be pushed to Lua");
  }
}

}  // namespace scripting::binding
