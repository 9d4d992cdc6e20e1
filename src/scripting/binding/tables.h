// The tables behind namespaces and registered classes, and the lookup functions
// ("__index", "__newindex") they share.
#pragma once

#include <lua.hpp>

#include "scripting/binding/userdata.h"

namespace scripting::binding {

// "__index" of namespaces, static tables, class tables and const tables: a raw
// field of the metatable, else a getter of "__propget" called with the object,
// else the same on the "__parent" table, else nil; nil at once for a name that
// starts with "__", so that no lookup hands out the tables behind a class (their
// "__gc" is the objects' finaliser). Raises "missing __propget
// table", "not a cfunction" and "__parent is not a table" on malformed tables.
// A closure over the strings "__propget" and "__parent" (see MakeNamespace).
int IndexMetaMethod(lua_State* L);

// "__newindex" of class and const tables: a setter of "__propset" (or of a
// "__parent"), else the error "no writable variable '%s'". A closure over
// "__propset" and "__parent".
int ObjectNewIndexMetaMethod(lua_State* L);

// "__newindex" of namespaces and static tables: as above, else "no member named '%s'".
int StaticNewIndexMetaMethod(lua_State* L);

// Makes the table at index a namespace: its own metatable, with "__index",
// "__newindex" and empty "__propget" and "__propset" tables.
void MakeNamespace(lua_State* L, int index);

// Pops the value on top and stores it raw under name in the table at index.
void RawSetField(lua_State* L, int index, const char* name);

// Pops the value on top and stores it raw under name in the table found under
// subtable ("__propget", "__propset") of the table at index.
void RawSetInSubtable(lua_State* L, int index, const char* subtable, const char* name);

// Pushes the static, class and const tables of the class of key, creating them on
// first use with the Lua name name and the "__gc" function gc, and stores the
// static table under name in the namespace table at namespaceIndex.
void PushClassTables(lua_State* L, int namespaceIndex, const ClassKey& key, const char* name,
                     lua_CFunction gc);

// Links the three tables on top of the stack (static, class, const) to those of
// base: "__parent" on each, "__upcast" on the class and const tables. Returns false
// when base is not registered.
bool LinkToBase(lua_State* L, const ClassKey& base, const Upcast* upcast);

}  // namespace scripting::binding
