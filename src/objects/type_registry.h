// The reflection registry: for each component type the name files use, how to
// construct one, its object size and its members (name, kind, width, position), so
// the level loader can create components by name and write values into them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "objects/base_component.h"

// Byte position of a field in a component class. The classes derive from
// BaseComponent, so they are not standard-layout; g++ lays out such single,
// non-virtual inheritance chains plainly and computes offsetof for them correctly.
#define VELMARIS_OFFSETOF(Class, field)                                                             \
  ([]() -> std::uint32_t {                                                                          \
    _Pragma("GCC diagnostic push")                                                                  \
        _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") return static_cast<std::uint32_t>( \
            offsetof(Class, field));                                                                \
    _Pragma("GCC diagnostic pop")                                                                   \
  }())

// A field of a component class, typed: its C++ type gives the member's kind and
// width (TypeDescriptor::Add, Hide and AddVector), its position comes from offsetof.
#define VELMARIS_FIELD(Class, field) \
  ::objects::FieldAt<decltype(Class::field)> { VELMARIS_OFFSETOF(Class, field) }

namespace objects {

// The kind of value stored at a member's position; the numbers are the codes.
enum class MemberType : int {
  None = 0,         // not serialized: pointers, matrices, internal counters
  Int = 1,          // signed 32-bit integer
  Float = 2,        // 32-bit float
  String = 3,       // std::string
  Bool = 4,         // one byte, 0 or 1
  IntVector = 5,    // std::vector<std::int32_t>
  FloatVector = 6,  // std::vector<float>
};

// Text for messages: "Int", "Float", ...
const char* MemberTypeName(MemberType type);

// The kind a field of C++ type Field is stored as; None for types files never hold.
template <typename Field>
constexpr MemberType KindOf() {
  if constexpr (std::is_same_v<Field, float>) return MemberType::Float;
  // Unsigned counters (a Pool's bounds) take a file's Int as its 32-bit pattern, so
  // -1 there means the largest count.
  if constexpr (std::is_same_v<Field, std::int32_t> || std::is_same_v<Field, std::uint32_t>)
    return MemberType::Int;
  if constexpr (std::is_same_v<Field, bool>) return MemberType::Bool;
  if constexpr (std::is_same_v<Field, std::string>) return MemberType::String;
  if constexpr (std::is_same_v<Field, std::vector<std::int32_t>>) return MemberType::IntVector;
  if constexpr (std::is_same_v<Field, std::vector<float>>) return MemberType::FloatVector;
  return MemberType::None;
}

// The position of a field of type Field in its class (made by VELMARIS_FIELD).
template <typename Field>
struct FieldAt {
  std::uint32_t offset;
};

// What a type or member is for, for the generated reference and schema: one line,
// and the unit of a number where one applies ("world units", "seconds", "degrees").
struct Description {
  Description() = default;
  Description(std::string text, std::string unit = {}) : text(std::move(text)), unit(std::move(unit)) {}

  std::string text;
  std::string unit;  // empty: none applies (a count, a flag, a name)
};

struct MemberDescriptor {
  std::string name;          // empty: never read from or written to a file
  std::uint32_t size = 0;    // bytes of the field, or of the whole group
  std::uint32_t offset = 0;  // bytes from the start of the component object
  MemberType type = MemberType::None;
  std::vector<MemberDescriptor> children;  // parts of a group member
  Description about;                       // a group's is shared by its children
};

using CreateFunction = objects::BaseComponent* (*)(void* memory);

struct TypeDescriptor {
  // Constructs the type in `allocationSize` bytes of uninitialised memory aligned
  // to `alignment`; does not allocate, set the owner or insert the component.
  CreateFunction create = nullptr;
  std::string name;
  // During registration the end of the last member; afterwards sizeof the class.
  std::uint32_t size = 0;
  std::vector<MemberDescriptor> members;
  // sizeof and alignof the class, fixed by RegisterType: what CreateComponent
  // allocates, whatever a registration does with `size`.
  std::uint32_t allocationSize = 0;
  std::uint32_t alignment = alignof(std::max_align_t);
  std::string description;  // one line: what the component does
  std::string example;      // a component entry's value that shows its use, as JSON

  // Sets the one-line description of the type and an example of its entry's value.
  TypeDescriptor& Describe(std::string text, std::string exampleJson);

  // The unnamed first member at offset 0 covering the BaseComponent part.
  TypeDescriptor& AddHeaderMember();

  // A member: kind and width from the field's type, so a field cannot be registered
  // as a kind it is not, and one files cannot hold does not compile. An empty name
  // keeps the field's kind without letting files name it (an internal counter).
  template <typename Field>
  TypeDescriptor& Add(std::string memberName, FieldAt<Field> field, Description about = {}) {
    static_assert(KindOf<Field>() != MemberType::None,
                  "files cannot hold this field's type: register it with Hide");
    return AddMember(KindOf<Field>(), std::move(memberName), field.offset, sizeof(Field), std::move(about));
  }
  // A field files never name and nothing reads as a value (pointers, caches,
  // handles), kept in the member list at its place as None.
  template <typename Field>
  TypeDescriptor& Hide(FieldAt<Field> field) {
    return AddMember(MemberType::None, "", field.offset, sizeof(Field));
  }
  // A vector2D or four-float field as a group of Float children, one name a float
  // (an empty name is a part files never name); the description is each named child's.
  template <typename Field, std::size_t Count>
  TypeDescriptor& AddVector(const char* const (&childNames)[Count], FieldAt<Field> field,
                            Description about = {}) {
    static_assert(Count * sizeof(float) == sizeof(Field), "one name for each float of the field");
    return AddFloatGroup(childNames, Count, field.offset, std::move(about));
  }

  // The untyped forms of the three above, checked only at run time (tests of the
  // registry's own checks).
  // A plain member at the field's true position (use VELMARIS_FIELD). Members are
  // added in declaration order; an overlap with the previous member, or a width
  // that does not fit the kind of a named member, throws std::logic_error.
  TypeDescriptor& AddMember(MemberType type, std::string memberName, std::uint32_t offset,
                            std::uint32_t width, Description about = {});
  // An unnamed Float group of consecutive 4-byte Float children starting at
  // `offset` (a vector2D or a four-float vector); an empty child name is an
  // unserialized part.
  TypeDescriptor& AddVectorMember(std::initializer_list<const char*> childNames, std::uint32_t offset,
                                  Description about = {});
  // Ends registration: size becomes the class's object size.
  void FinishType();

 private:
  TypeDescriptor& AddFloatGroup(const char* const* childNames, std::size_t count, std::uint32_t offset,
                                Description about);
};

class TypeRegistry {
 public:
  using TypeMap = std::map<std::string, TypeDescriptor, std::less<>>;

  // A fresh descriptor for T under `name` (replacing one of the same name, so a
  // registration that runs twice registers once); `create` defaults to T's default
  // constructor in place. A create function given here must construct a T: the
  // memory it receives is sizeof(T) bytes, and the component is deleted as a T.
  template <typename T>
  TypeDescriptor& RegisterType(const std::string& name, CreateFunction create = nullptr) {
    static_assert(std::is_base_of_v<objects::BaseComponent, T>);
    TypeDescriptor descriptor;
    if constexpr (std::is_default_constructible_v<T>) {
      descriptor.create = create != nullptr ? create : &ConstructInPlace<T>;
    } else {
      if (create == nullptr) throw std::logic_error("Registration of " + name + " needs a create function");
      descriptor.create = create;
    }
    descriptor.name = name;
    descriptor.allocationSize = static_cast<std::uint32_t>(sizeof(T));
    descriptor.alignment = static_cast<std::uint32_t>(alignof(T));
    return types_[name] = std::move(descriptor);
  }

  // Null when absent.
  const TypeDescriptor* TryFindType(std::string_view name) const;
  // Throws std::runtime_error "Attempted to find component of type <name>.  This
  // type does not exist." when absent.
  const TypeDescriptor& FindType(std::string_view name) const;
  // First member or child named exactly memberName, pre-order. Throws the type error
  // for an unknown type and std::runtime_error "Tried to find member <member> in
  // component <type>.  This is not a member of this component." otherwise; the empty
  // name is never a member.
  const MemberDescriptor& FindMember(std::string_view typeName, std::string_view memberName) const;
  // Named members and children, children before their group (post-order).
  std::vector<const MemberDescriptor*> GetSerializedMembers(std::string_view typeName) const;

  const TypeMap& GetTypes() const { return types_; }
  void Clear() { types_.clear(); }

 private:
  template <typename T>
  static objects::BaseComponent* ConstructInPlace(void* memory) {
    return new (memory) T();
  }

  TypeMap types_;
};

// The process-wide registry, filled once by RegisterComponents.
TypeRegistry& GetTypeRegistry();
// Empties the process-wide registry (tests).
void ResetTypeRegistry();

// Lookups in the process-wide registry (see TypeRegistry).
const TypeDescriptor& FindType(std::string_view typeName);
const MemberDescriptor& FindMember(std::string_view typeName, std::string_view memberName);
std::vector<const MemberDescriptor*> GetSerializedMembers(std::string_view typeName);

// Allocates the type's object and constructs it with its create function. The result
// may be destroyed with `delete` (the memory matches a new-expression of the class).
objects::BaseComponent* CreateComponent(const TypeDescriptor& descriptor);

}  // namespace objects
