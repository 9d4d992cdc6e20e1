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

// Offset and width of a field: the last two arguments of TypeDescriptor::AddMember.
#define VELMARIS_FIELD(Class, field) \
  VELMARIS_OFFSETOF(Class, field), static_cast<std::uint32_t>(sizeof(Class::field))

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

struct MemberDescriptor {
  std::string name;          // empty: never read from or written to a file
  std::uint32_t size = 0;    // bytes of the field, or of the whole group
  std::uint32_t offset = 0;  // bytes from the start of the component object
  MemberType type = MemberType::None;
  std::vector<MemberDescriptor> children;  // parts of a group member
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

  // The unnamed first member at offset 0 covering the BaseComponent part.
  TypeDescriptor& AddHeaderMember();
  // A plain member at the field's true position (use VELMARIS_FIELD). Members are
  // added in declaration order; an overlap with the previous member, or a width
  // that does not fit the kind of a named member, throws std::logic_error.
  TypeDescriptor& AddMember(MemberType type, std::string memberName, std::uint32_t offset,
                            std::uint32_t width);
  // An unnamed Float group of consecutive 4-byte Float children starting at
  // `offset` (a vector2D or a four-float vector); an empty child name is an
  // unserialized part.
  TypeDescriptor& AddVectorMember(std::initializer_list<const char*> childNames, std::uint32_t offset);
  // Ends registration: size becomes the class's object size.
  void FinishType();
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
