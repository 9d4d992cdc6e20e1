// Engine objects inside Lua: the userdata that holds them, the registry keys of the
// class tables, and the checks that turn a Lua value back into an object pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <type_traits>
#include <utility>

#include <lua.hpp>

namespace scripting {
namespace binding {

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

// Registry keys of one class's static, class and const tables: the addresses of
// these three bytes, one set per C++ type. base and upcast link a class registered
// with DeriveClass to its base: the C++ side of the object check, out of any
// script's reach.
struct ClassKey {
  char staticTable;
  char classTable;
  char constTable;
  const ClassKey* base = nullptr;
  const struct Upcast* upcast = nullptr;
};

template <class T>
inline ClassKey kClassKey{};

template <class T>
const ClassKey& KeyOf() {
  return kClassKey<std::remove_cv_t<T>>;
}

}  // namespace binding

// Every full userdata made by the binding holds one of these, after a BlockHeader
// that says which class it was made as. The object check trusts that header only:
// a metatable can be swapped from Lua (the debug library reaches them all), the
// header cannot.
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

// Lua aligns userdata memory for a double only; every block is over-allocated and
// the header placed at the next boundary suitable for any scalar type.
inline constexpr std::size_t kBlockAlign = alignof(std::max_align_t);

// The start of every block: the type tag of the object after it. A plain struct,
// so that the bytes of any userdata can be read as one to see whether it is ours.
struct BlockHeader {
  std::uint64_t magic;
  const ClassKey* made;  // the class the object was made as; null until it is built
                         // and again once "__gc" has destroyed it
  bool isConst;
};
inline constexpr std::uint64_t kBlockMagic = 0x56454c4d41524953;  // "VELMARIS"
inline constexpr std::size_t kHeaderSize = (sizeof(BlockHeader) + kBlockAlign - 1) & ~(kBlockAlign - 1);

inline void* AlignBlock(void* raw) noexcept {
  const auto address = reinterpret_cast<std::uintptr_t>(raw);
  return reinterpret_cast<void*>((address + kBlockAlign - 1) & ~(kBlockAlign - 1));
}

// Pushes a new full userdata with room for a header and size bytes and returns the
// aligned address for the Userdata. Raises a Lua error on memory failure.
void* NewBlock(lua_State* L, std::size_t size);

// The header of the userdata at index when it is a block of ours whose object is
// alive; null for any other value. Never raises.
BlockHeader* HeaderOf(lua_State* L, int index) noexcept;

// The Userdata inside the full userdata at index, which must be one of ours.
inline Userdata* ToUserdata(lua_State* L, int index) noexcept {
  return std::launder(
      reinterpret_cast<Userdata*>(static_cast<char*>(AlignBlock(lua_touserdata(L, index))) + kHeaderSize));
}

// Never raises. The object at index as a pointer to the class of key, when the value
// is a userdata made as that class or as a class derived from it; null otherwise.
// Decided by the block's header alone, never by the metatable. *isConst tells
// whether the object was pushed const.
void* FindObject(lua_State* L, int index, const ClassKey& key, bool* isConst);

// The object check of a reference parameter: as FindObject, but raises the argument
// errors "nil passed to reference", "%s expected, got %s" and "cannot be const".
void* CheckObject(lua_State* L, int index, const ClassKey& key, bool allowConst);

// Raises "class is not registered" unless the class of key has tables in this state.
void CheckRegistered(lua_State* L, const ClassKey& key);

// Gives the userdata on top of the stack, a block of ours, the class table (or the
// const table) of key, and tags its header with that class.
void SetClassMetatable(lua_State* L, const ClassKey& key, bool isConst);

// Pushes a UserdataPtr for object (nil when null). Raises on memory failure or when
// the class is not registered.
void PushPointer(lua_State* L, const void* object, const ClassKey& key, bool isConst);

// "__gc", and the engine taking back the objects it lent a script: destroys the
// object held by the userdata at index as its own type (nothing for a UserdataPtr),
// clears its tag and removes its metatable, so that a second call, or any later use,
// finds nothing to act on. Does nothing for any other value. Never raises.
void DestroyObject(lua_State* L, int index) noexcept;

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
