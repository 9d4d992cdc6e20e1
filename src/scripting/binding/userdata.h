// Engine objects inside Lua: the userdata that holds them, the registry keys of the
// class tables, and the checks that turn a Lua value back into an object pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <lua.hpp>
#include <new>
#include <string>
#include <type_traits>
#include <utility>

namespace scripting {

// Every full userdata made by the binding starts with one of these. The metatable
// (class table or const table) says which class and constness the object has.
class Userdata {
 public:
  virtual ~Userdata() = default;
  Userdata(const Userdata&) = delete;
  Userdata& operator=(const Userdata&) = delete;

  // The held object as its registered class; never null.
  void* Object() const noexcept { return object_; }

 protected:
  explicit Userdata(void* object) noexcept : object_(object) {}

 private:
  void* object_;
};

// An object the engine owns; Lua holds only its address and never destroys it.
class UserdataPtr final : public Userdata {
 public:
  explicit UserdataPtr(void* object) noexcept : Userdata(object) {}
};

// An object Lua owns: built inside the userdata and destroyed as a T by "__gc".
template <class T>
class UserdataValue final : public Userdata {
  static_assert(alignof(T) <= alignof(std::max_align_t), "over-aligned classes are not bound");

 public:
  // Builds the object from the result of make(), without a copy when make returns
  // a prvalue.
  struct FromCall {};
  template <class Make>
  UserdataValue(FromCall, const Make& make) : Userdata(&value_), value_(make()) {}

  template <class... Args>
  explicit UserdataValue(std::in_place_t, Args&&... args)
      : Userdata(&value_), value_(std::forward<Args>(args)...) {}

 private:
  T value_;
};

namespace binding {

// Registry keys of one class's static, class and const tables: the addresses of
// these three bytes, one set per C++ type.
struct ClassKey {
  char staticTable;
  char classTable;
  char constTable;
};

template <class T>
inline ClassKey kClassKey{};

template <class T>
const ClassKey& KeyOf() {
  return kClassKey<std::remove_cv_t<T>>;
}

// Lua aligns userdata memory for a double only; every block is over-allocated and
// the Userdata placed at the next boundary suitable for any scalar type.
inline constexpr std::size_t kBlockAlign = alignof(std::max_align_t);

inline void* AlignBlock(void* raw) noexcept {
  const auto address = reinterpret_cast<std::uintptr_t>(raw);
  return reinterpret_cast<void*>((address + kBlockAlign - 1) & ~(kBlockAlign - 1));
}

// Pushes a new full userdata with room for size bytes and returns the aligned
// address inside it. Raises a Lua error on memory failure.
void* NewBlock(lua_State* L, std::size_t size);

// The Userdata inside the full userdata at index, which must be one of ours.
inline Userdata* ToUserdata(lua_State* L, int index) noexcept {
  return std::launder(reinterpret_cast<Userdata*>(AlignBlock(lua_touserdata(L, index))));
}

// How a derived class's object pointer becomes its base's ("__upcast" field).
struct Upcast {
  void* (*cast)(void*);
};

template <class Derived, class Base>
void* UpcastPointer(void* object) {
  return static_cast<Base*>(static_cast<Derived*>(object));
}

template <class Derived, class Base>
inline constexpr Upcast kUpcast{&UpcastPointer<Derived, Base>};

// Never raises. The object at index as a pointer to the class of key, when the value
// is a userdata of that class or of a class derived from it through "__parent";
// null otherwise. *isConst tells whether the object was pushed const.
void* FindObject(lua_State* L, int index, const ClassKey& key, bool* isConst);

// The object check of a reference parameter: as FindObject, but raises the argument
// errors "nil passed to reference", "%s expected, got %s" and "cannot be const".
void* CheckObject(lua_State* L, int index, const ClassKey& key, bool allowConst);

// Raises "class is not registered" unless the class of key has tables in this state.
void CheckRegistered(lua_State* L, const ClassKey& key);

// Gives the userdata on top of the stack the class table (or the const table) of key.
void SetClassMetatable(lua_State* L, const ClassKey& key, bool isConst);

// Pushes a UserdataPtr for object (nil when null). Raises on memory failure or when
// the class is not registered.
void PushPointer(lua_State* L, const void* object, const ClassKey& key, bool isConst);

// "__gc" of the class of key: destroys the object held by the userdata at index 1 as
// its own type (nothing for a UserdataPtr) and removes its metatable, so that a
// second call, or a use of a resurrected object, finds nothing to act on.
void DestroyObject(lua_State* L, const ClassKey& key);

// Pushes text inside a protected call, so that a memory error cannot unwind through
// the C++ caller. Afterwards the text, or the error that stopped it, is on top.
// Returns false in the second case.
bool ProtectedPushString(lua_State* L, const char* data, std::size_t size) noexcept;

// Raises the value on top of the stack as a Lua error, with the caller's position in
// front of it when it is a string (as luaL_error does).
int RaiseTop(lua_State* L);

// Runs body() and turns a C++ exception it throws into an error text pushed on the
// stack. Returns false in that case. body may raise Lua errors (they pass through).
template <class Body>
bool Guarded(lua_State* L, const Body& body) noexcept {
  try {
    body();
    return true;
  } catch (const std::exception& error) {
    const char* text = error.what();
    ProtectedPushString(L, text, std::char_traits<char>::length(text));
  } catch (...) {
    ProtectedPushString(L, "unknown C++ exception", 21);
  }
  return false;
}

}  // namespace binding
}  // namespace scripting
