/* Where a program keeps the skin library and the skins in its resources.
 * zz_add_skin_resources(<target>) (skin_engine/CMakeLists.txt) puts them
 * there; skin_loader reads them back. Read by C++ and by the resource
 * compiler, so: plain macros only. */
#ifndef ZZ_SKIN_RESOURCES_H
#define ZZ_SKIN_RESOURCES_H

/* The library file SkinH_EL.dll, byte for byte: type ZZSKINLIB, id 1. */
#define ZZ_SKIN_LIBRARY_TYPE "ZZSKINLIB"
#define ZZ_SKIN_LIBRARY_ID 1

/* Skin blocks (skin_format.h): type ZZSKIN, id = skin number, 1 to 33. */
#define ZZ_SKIN_BLOCK_TYPE "ZZSKIN"

#endif
