#pragma once
// What the system tells about a file: the version block of an executable, the
// file's or folder's entry (size and time stamps) and the desktop's name for
// its type.
//
// The version block: the three calls of the Windows version API (size, read,
// query) over a block in the Windows VS_VERSIONINFO format.
//
// On Windows these are GetFileVersionInfoSizeW, GetFileVersionInfoW and
// VerQueryValueW themselves. Elsewhere the block is looked for in the file:
// - in an ELF file, the content of its section named "lumarin_verze" (the
//   program puts its own block there when it is built, see
//   resources/CMakeLists.txt);
// - in a Windows executable or library (PE), its version resource (type 16,
//   name 1, the first language).
// Any other file, a folder, a pipe or a device has no block. Nothing is ever
// read outside the file's own bytes or outside the buffer a block was read
// into, however the file or the block is damaged.

#include <QString>
#include <QtGlobal>
#include <optional>

// The section of an ELF file that holds its version block.
inline constexpr char SekceVerze[] = "lumarin_verze";

// The size in bytes of the file's version block, 0 when it has none; a block
// is at most 65535 bytes (its length field has 16 bits), a longer resource or
// section counts with its first 65535. Ukazatel receives the value that
// NactiVerzi expects back.
quint32 ZjistiVelikostVerze(const QString &Soubor, quint32 *Ukazatel);

// Copies the file's version block into Zasobnik, at most Velikost bytes (the
// rest of the buffer, when the block has meanwhile become shorter, is left as
// it was). False when the file has no block (any more) or cannot be read.
bool NactiVerzi(const QString &Soubor, quint32 Ukazatel, quint32 Velikost, void *Zasobnik);

// Looks Cesta up in the block of VelikostBloku bytes at Blok, as
// VerQueryValueW does: "\" is the fixed information (VS_FIXEDFILEINFO),
// "\VarFileInfo\Translation" the translation table, and
// "\StringFileInfo\<language and code page>\<key>" a string value; the names
// compare without regard to case, the path ends at its first null character.
// True with Hodnota pointing into the block when the path exists. Delka is
// what may be read there: for a value under "\StringFileInfo\" its UTF-16
// characters before the terminating null (a text without one ends where its
// node ends), for any other its bytes. The block is little-endian, and values
// need not be aligned in memory: read them with qFromLittleEndian.
bool DotazNaVerzi(const void *Blok, quint32 VelikostBloku, const QString &Cesta, const void **Hodnota, quint32 *Delka);

// A file's or folder's entry, as a search of its folder finds it. A symbolic
// link stands for what it points to.
struct TZaznamSouboru {
    bool bSlozka = false;
    qint64 Velikost = 0; // bytes; a folder's is 0
    // Creation, last write and last access, as milliseconds since
    // 1 January 1970 UTC. Where the file system keeps no creation time, the
    // last change of the entry itself stands for it (the earliest time the
    // system still knows of).
    qint64 Casy[3] = {};
};
// The entry of Cesta (relative to the current folder), or nothing when there
// is no file or folder of that name. Also a pipe or a device has an entry;
// none of them is opened.
std::optional<TZaznamSouboru> NajdiZaznam(const QString &Cesta);

// What the desktop calls the type of the file or folder (on Windows the
// shell's type name, elsewhere the description of its MIME type, as a file
// manager shows it, found from its name and its first bytes); empty when
// there is nothing of that name. A pipe or a device is never opened.
QString NazevTypu(const QString &Cesta);
