// The native closures behind bound functions, methods, constructors and properties.
// The engine function (or member pointer) is the closure's one upvalue; the closure
// checks the Lua arguments, calls it, and pushes its result as one value.
#pragma once

#include <cstddef>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

#include <lua.hpp>

#include "scripting/binding/stack.h"

namespace scripting::binding {

template <class... T>
struct TypeList {};

template <class F>
struct FunctionTraits;

template <class R, class... A>
struct FunctionTraits<R (*)(A...)> {
  using Result = R;
  using Params = TypeList<A...>;
};
template <class R, class... A>
struct FunctionTraits<R (*)(A...) noexcept> : FunctionTraits<R (*)(A...)> {};

template <class R, class C, class... A>
struct FunctionTraits<R (C::*)(A...)> {
  using Result = R;
  using Class = C;
  using Params = TypeList<A...>;
  static constexpr bool kConst = false;
};
template <class R, class C, class... A>
struct FunctionTraits<R (C::*)(A...) const> : FunctionTraits<R (C::*)(A...)> {
  static constexpr bool kConst = true;
};
template <class R, class C, class... A>
struct FunctionTraits<R (C::*)(A...) noexcept> : FunctionTraits<R (C::*)(A...)> {};
template <class R, class C, class... A>
struct FunctionTraits<R (C::*)(A...) const noexcept> : FunctionTraits<R (C::*)(A...) const> {};

template <class F>
concept FreeFunction = std::is_pointer_v<F> && std::is_function_v<std::remove_pointer_t<F>>;

template <class F>
concept MemberFunction = std::is_member_function_pointer_v<F>;

// Whether a free function bound as a method of T takes its object as const (and so
// also belongs in the const table).
template <class F>
struct FirstParam;
template <class R, class First, class... A>
struct FirstParam<R (*)(First, A...)> {
  using Type = First;
};
template <class R, class First, class... A>
struct FirstParam<R (*)(First, A...) noexcept> {
  using Type = First;
};

template <class F>
constexpr bool TakesConstObject() {
  using First = typename FirstParam<F>::Type;
  using Object = std::remove_pointer_t<std::remove_reference_t<First>>;
  return std::is_const_v<Object> || !(std::is_reference_v<First> || std::is_pointer_v<First>);
}

// Converts the Lua arguments from first on to P..., calls fn with them and pushes
// its result R. Lua errors raised here (argument errors, memory) pass only through
// frames without destructors; C++ exceptions of fn become Lua errors.
template <class R, class... P>
struct Invoker {
  template <class Fn>
  static int Run(lua_State* L, int first, const Fn& fn) {
    return Run(L, first, fn, std::index_sequence_for<P...>{});
  }

 private:
  template <class Fn, std::size_t... I>
  static int Run(lua_State* L, [[maybe_unused]] int first, const Fn& fn, std::index_sequence<I...>) {
    std::tuple<typename Arg<P>::Raw...> raws{Arg<P>::Check(L, first + static_cast<int>(I))...};
    static_assert(std::is_trivially_destructible_v<decltype(raws)>);
    using Out = Result<R>;
    typename Out::Slot slot{};
    static_assert(std::is_trivially_destructible_v<decltype(slot)>);
    Out::Prepare(L, slot);
    const bool ok = Out::Call(L, slot, [&]() -> R { return fn(Arg<P>::Get(std::get<I>(raws))...); });
    if (!ok) return RaiseTop(L);
    return Out::Push(L, slot);
  }
};

// Upvalues hold function and member pointers as plain bytes after a tag of their
// type: the debug library can swap a closure's upvalue for another's, and a
// trampoline must never call a function of another type through it.
template <class F>
inline char kUpvalueTag = 0;

template <class F>
struct UpvalueBlock {
  const char* tag;
  F function;
};

template <class F>
void PushClosure(lua_State* L, lua_CFunction trampoline, F function) {
  static_assert(std::is_trivially_copyable_v<F>);
  const UpvalueBlock<F> block{&kUpvalueTag<F>, function};
  std::memcpy(lua_newuserdata(L, sizeof block), &block, sizeof block);
  lua_pushcclosure(L, trampoline, 1);
}

// Raises "bound function has a foreign upvalue" when the upvalue is not one
// PushClosure made for F.
template <class F>
F Upvalue(lua_State* L) {
  const int index = lua_upvalueindex(1);
  UpvalueBlock<F> block{};
  // Null for anything but userdata; a light userdata has no length.
  const void* raw = lua_touserdata(L, index);
  if (raw != nullptr && lua_rawlen(L, index) == sizeof block) std::memcpy(&block, raw, sizeof block);
  if (block.tag != &kUpvalueTag<F>) luaL_error(L, "bound function has a foreign upvalue");
  return block.function;
}

template <class F, class R, class... A>
int CallFree(lua_State* L, TypeList<A...>) {
  return Invoker<R, A...>::Run(L, 1, Upvalue<F>(L));
}

// A free function; Lua arguments from 1 on (for a method: the object first).
template <class F>
int FreeTrampoline(lua_State* L) {
  return CallFree<F, typename FunctionTraits<F>::Result>(L, typename FunctionTraits<F>::Params{});
}

template <class T, class M, class R, class... A>
int CallMethod(lua_State* L, TypeList<A...>) {
  using Self = std::conditional_t<FunctionTraits<M>::kConst, const T&, T&>;
  const M method = Upvalue<M>(L);
  return Invoker<R, Self, A...>::Run(
      L, 1, [method](Self self, A... args) -> R { return (self.*method)(std::forward<A>(args)...); });
}

// A member function of T (or of a base of T) called with the object at argument 1.
template <class T, class M>
int MethodTrampoline(lua_State* L) {
  return CallMethod<T, M, typename FunctionTraits<M>::Result>(L, typename FunctionTraits<M>::Params{});
}

// "__call" of a static table: argument 1 is the static table itself. Aggregates
// (plain structs) are brace-initialised: not every compiler takes parentheses for them.
template <class T, class... A>
int ConstructorTrampoline(lua_State* L) {
  return Invoker<T, A...>::Run(L, 2, [](A... args) -> T {
    if constexpr (std::is_aggregate_v<T>) {
      return T{std::forward<A>(args)...};
    } else {
      return T(std::forward<A>(args)...);
    }
  });
}

template <class T, class M>
using MemberValue = std::remove_reference_t<decltype(std::declval<T&>().*std::declval<M>())>;

// Getter of a data member: a by-value class member is returned as a copy.
template <class T, class M>
int DataGetter(lua_State* L) {
  using V = MemberValue<T, M>;
  const M member = Upvalue<M>(L);
  return Invoker<const V&, const T&>::Run(L, 1, [member](const T& self) -> const V& { return self.*member; });
}

template <class T, class M>
int DataSetter(lua_State* L) {
  using V = MemberValue<T, M>;
  const M member = Upvalue<M>(L);
  return Invoker<void, T&, const V&>::Run(L, 1, [member](T& self, const V& value) { self.*member = value; });
}

// A namespace variable: the getter is called with the namespace table, the setter
// with the table and the value.
template <class V>
int VariableGetter(lua_State* L) {
  V* variable = Upvalue<V*>(L);
  return Invoker<const V&>::Run(L, 1, [variable]() -> const V& { return *variable; });
}

template <class V>
int VariableSetter(lua_State* L) {
  V* variable = Upvalue<V*>(L);
  return Invoker<void, const V&>::Run(L, 2, [variable](const V& value) { *variable = value; });
}

template <class T>
int GcMetaMethod(lua_State* L) {
  DestroyObject(L, 1);
  return 0;
}

}  // namespace scripting::binding
