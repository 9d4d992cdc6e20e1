// The registration builder: namespaces, classes, functions, constructors and
// properties, written as one chain per Lua state, e.g.
//
//   scripting::GetGlobalNamespace(L)
//       .BeginNamespace("Math")
//           .AddFunction("sqrtf", &SquareRoot)
//       .EndNamespace()
//       .BeginClass<vector2D>("Vector2D")
//           .AddConstructor<float, float>()
//           .AddData("x", &vector2D::x)
//           .AddFunction("Length", &vector2D::Length)   // const: mutable and const objects
//       .EndClass();
//
// Builders keep the tables they work on on the Lua stack; each one pops what it
// still holds when destroyed, so a chain leaves the stack as it found it. Use a
// builder only as the result of the previous call of its chain. Registration runs on
// a state before its scripts do; a memory error during it goes to Lua's panic handler.
#pragma once

#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include <lua.hpp>

#include "scripting/binding/invoke.h"
#include "scripting/binding/tables.h"

namespace scripting {

template <class T>
class Class;

class Namespace {
 public:
  Namespace(Namespace&& other) noexcept : L_(other.L_), slots_(std::exchange(other.slots_, 0)) {}
  Namespace& operator=(Namespace&&) = delete;
  ~Namespace();

  // Enters the namespace name of this one, creating it if absent. Throws
  // std::logic_error when name holds something other than a table.
  Namespace BeginNamespace(const char* name);
  // Leaves this namespace for the enclosing one (std::logic_error at the top).
  Namespace EndNamespace();

  // Enters class T under the Lua name name, creating its tables on first use.
  template <class T>
  Class<T> BeginClass(const char* name);

  // As BeginClass, and links T's tables to those of the registered class Base
  // ("__parent"), so that Base's methods and properties apply to T's objects and T's
  // objects are accepted where a Base is expected.
  template <class T, class Base>
  Class<T> DeriveClass(const char* name);

  // A free function. Registering a name again replaces the earlier function.
  template <binding::FreeFunction F>
  Namespace& AddFunction(const char* name, F function) {
    binding::PushClosure(L_, &binding::FreeTrampoline<F>, function);
    binding::RawSetField(L_, -2, name);
    return *this;
  }

  // A raw Lua C function, stored as it is.
  Namespace& AddFunction(const char* name, lua_CFunction function);

  // An engine variable read (and, if writable, written) as name.
  template <class V>
  Namespace& AddVariable(const char* name, V* variable, bool writable = true) {
    RequireProperties();
    binding::PushClosure(L_, &binding::VariableGetter<V>, variable);
    binding::RawSetInSubtable(L_, -2, "__propget", name);
    if constexpr (!std::is_const_v<V>) {
      if (writable) {
        binding::PushClosure(L_, &binding::VariableSetter<V>, variable);
        binding::RawSetInSubtable(L_, -2, "__propset", name);
      }
    }
    return *this;
  }

 private:
  friend Namespace GetGlobalNamespace(lua_State* L);
  template <class>
  friend class Class;

  Namespace(lua_State* L, int slots) : L_(L), slots_(slots) {}
  void RequireProperties() const;

  lua_State* L_;
  int slots_;  // stack values this builder pops when destroyed
};

// The builder on the global table. Free functions and classes registered on it
// become globals; it takes no variables (the global table has no "__propget").
Namespace GetGlobalNamespace(lua_State* L);

template <class T>
class Class {
  static_assert(std::is_class_v<T> && !std::is_const_v<T>, "register the plain class");

 public:
  Class(Class&& other) noexcept
      : L_(other.L_), slots_(std::exchange(other.slots_, 0)), const_table_(other.const_table_) {}
  Class& operator=(Class&&) = delete;
  ~Class() {
    if (slots_ > 0) Namespace(L_, slots_);  // pops through Namespace's destructor
  }

  Namespace EndClass() {
    if (slots_ < 4) throw std::logic_error("EndClass without BeginClass");
    lua_pop(L_, 3);
    return Namespace(L_, std::exchange(slots_, 0) - 3);
  }

  // T(arguments) in Lua builds a T from A... (a constructor or an aggregate).
  template <class... A>
  Class& AddConstructor() {
    lua_pushcfunction(L_, (&binding::ConstructorTrampoline<T, A...>));
    binding::RawSetField(L_, StaticTable(), "__call");
    return *this;
  }

  // A method: a member function of T or of a base of T, or a free function whose
  // first parameter is the object. Const member functions (and free functions
  // taking a const object) go into the const table as well.
  template <class F>
  requires binding::MemberFunction<F> || binding::FreeFunction<F> Class& AddFunction(const char* name,
                                                                                     F function) {
    PushMethod(function);
    if (IsConstMethod<F>()) {
      lua_pushvalue(L_, -1);
      binding::RawSetField(L_, ConstTable(), name);
    }
    binding::RawSetField(L_, ClassTable(), name);
    return *this;
  }

  // A function of the class rather than of an object: Name.function(arguments).
  template <binding::FreeFunction F>
  Class& AddStaticFunction(const char* name, F function) {
    binding::PushClosure(L_, &binding::FreeTrampoline<F>, function);
    binding::RawSetField(L_, StaticTable(), name);
    return *this;
  }

  // A data member of T (or of a base) as property name: readable on mutable and
  // const objects, writable on mutable ones unless writable is false. A class-typed
  // member reads as a copy and is written by copying the given object in.
  template <class M>
  requires std::is_member_object_pointer_v<M> Class& AddData(const char* name, M member,
                                                             bool writable = true) {
    binding::PushClosure(L_, &binding::DataGetter<T, M>, member);
    lua_pushvalue(L_, -1);
    binding::RawSetInSubtable(L_, ConstTable(), "__propget", name);
    binding::RawSetInSubtable(L_, ClassTable(), "__propget", name);
    using V = binding::MemberValue<T, M>;
    if constexpr (!std::is_const_v<V>) {
      if (writable) {
        binding::PushClosure(L_, &binding::DataSetter<T, M>, member);
        binding::RawSetInSubtable(L_, ClassTable(), "__propset", name);
      }
    }
    return *this;
  }

  // A property read through getter (called with the object) and, if given, written
  // through setter (called with the object and the value). Either may be a member
  // function or a free function taking the object first.
  template <class G>
  Class& AddProperty(const char* name, G getter) {
    PushMethod(getter);
    if (IsConstMethod<G>()) {
      lua_pushvalue(L_, -1);
      binding::RawSetInSubtable(L_, ConstTable(), "__propget", name);
    }
    binding::RawSetInSubtable(L_, ClassTable(), "__propget", name);
    return *this;
  }

  template <class G, class S>
  Class& AddProperty(const char* name, G getter, S setter) {
    AddProperty(name, getter);
    PushMethod(setter);
    binding::RawSetInSubtable(L_, ClassTable(), "__propset", name);
    return *this;
  }

 private:
  friend class Namespace;
  Class(lua_State* L, int slots) : L_(L), slots_(slots), const_table_(lua_gettop(L)) {}

  int StaticTable() const { return const_table_ - 2; }
  int ClassTable() const { return const_table_ - 1; }
  int ConstTable() const { return const_table_; }

  template <class F>
  static constexpr bool IsConstMethod() {
    if constexpr (binding::MemberFunction<F>) {
      return binding::FunctionTraits<F>::kConst;
    } else {
      return binding::TakesConstObject<F>();
    }
  }

  template <class F>
  void PushMethod(F function) {
    if constexpr (binding::MemberFunction<F>) {
      static_assert(std::is_base_of_v<typename binding::FunctionTraits<F>::Class, T>,
                    "member function of another class");
      binding::PushClosure(L_, &binding::MethodTrampoline<T, F>, function);
    } else {
      static_assert(binding::FreeFunction<F>, "methods are member or free functions");
      binding::PushClosure(L_, &binding::FreeTrampoline<F>, function);
    }
  }

  lua_State* L_;
  int slots_;        // stack values held: the enclosing namespaces' and the three tables
  int const_table_;  // absolute stack index; the class and static tables lie below
};

template <class T>
Class<T> Namespace::BeginClass(const char* name) {
  binding::PushClassTables(L_, -1, binding::KeyOf<T>(), name, &binding::GcMetaMethod<T>);
  return Class<T>(L_, std::exchange(slots_, 0) + 3);
}

template <class T, class Base>
Class<T> Namespace::DeriveClass(const char* name) {
  static_assert(std::is_base_of_v<Base, T>, "Base must be a base class of T");
  Class<T> result = BeginClass<T>(name);
  // The object check follows this link, not the Lua tables' "__parent".
  binding::kClassKey<T>.base = &binding::KeyOf<Base>();
  binding::kClassKey<T>.upcast = &binding::kUpcast<T, Base>;
  if (!binding::LinkToBase(L_, binding::KeyOf<Base>(), &binding::kUpcast<T, Base>)) {
    throw std::logic_error(std::string("base of class '") + name + "' is not registered");
  }
  return result;
}

}  // namespace scripting
