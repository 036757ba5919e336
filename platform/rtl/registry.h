// The registry: TRegistry and TRegistryIniFile over a per-user store.
//
// The store is the file $XDG_CONFIG_HOME/registry/user.reg (XDG_CONFIG_HOME
// defaulting to ~/.config), in the registry-export text format: a
// "REGEDIT4" line, then one "[HKEY_CURRENT_USER\Software\...]" section per
// key with its values ("name"="text", "name"=dword:0000000a,
// "name"=hex:01,02, other types as hex(n):..., @ for the default value).
// Keys match without regard to case and keep the case they were created
// with.
//
// All TRegistry objects of a process share one copy of the store, which is
// read again whenever the file changed (another process wrote it). Changes
// are kept in memory and written by CloseKey when LazyWrite is off, and
// otherwise when the TRegistry (or TRegistryIniFile) is destroyed or
// UpdateFile is called, and at the latest at exit. A write takes an
// exclusive lock (user.reg.lock beside the file), reads the file afresh,
// applies this process's own changes (the values set or deleted, the keys
// created or deleted) and replaces the file whole through a temporary file,
// so two processes that write in turn keep each other's keys. A store file
// that cannot be read (not a regular file, over 16 MB, no permission)
// reads as empty and is never replaced: writes then fail and the changes
// stay pending.
//
// The shell folders key (Software\Microsoft\Windows\CurrentVersion\Explorer
// \Shell Folders) answers "AppData" and "Personal" with the user's folders
// unless the file sets them; those answers are never written to the file.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/inifiles.h"

struct HKEY__;
using HKEY = HKEY__*;

namespace rtl::detail {
inline HKEY PredefinedKey(uint32_t v) { return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(v))); }
}  // namespace rtl::detail

inline const HKEY HKEY_CLASSES_ROOT = rtl::detail::PredefinedKey(0x80000000);
inline const HKEY HKEY_CURRENT_USER = rtl::detail::PredefinedKey(0x80000001);
inline const HKEY HKEY_LOCAL_MACHINE = rtl::detail::PredefinedKey(0x80000002);
inline const HKEY HKEY_USERS = rtl::detail::PredefinedKey(0x80000003);
inline const HKEY HKEY_CURRENT_CONFIG = rtl::detail::PredefinedKey(0x80000005);

// Value types.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t REG_MULTI_SZ = 7;

// Access rights of an open key.
constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr uint32_t KEY_SET_VALUE = 0x0002;
constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr uint32_t KEY_READ = 0x20019;
constexpr uint32_t KEY_WRITE = 0x20006;
constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  Integer DataSize = 0;
};

// Errors are ERegistryException: "Failed to get data for '%s'" (no such
// value, or more data than asked for), "Invalid data type for '%s'",
// "Failed to set data for '%s'" (no key open, the key is read-only or
// deleted), "Failed to create key %s", and "Unable to write to %s. %s"
// (the store's file and why) when an explicit save fails: CloseKey with
// LazyWrite off, TRegistryIniFile::UpdateFile. A save that fails when a
// registry is destroyed or at exit writes that message to standard error
// once (not again for the same failure until a save succeeds); the changes
// stay pending either way.
class TRegistry : public TObject {
  RTL_CLASS(TRegistry, TObject)
  friend class TRegistryIniFile;

  struct TKeyState {
    HKEY Key = nullptr;
    AnsiString Path;                 // as the caller named it, under the root
    std::vector<AnsiString> Segments;  // the key's names from the root on
    bool Writable = false;
  };
  HKEY FRootKey;
  TKeyState FCurrent;
  LongWord FAccess;
  bool FLazyWrite = true;

  bool Resolve(const AnsiString& Key, std::vector<AnsiString>& Segments) const;
  // Makes Key current without closing the previous one (no write-back).
  bool SetKey(const AnsiString& Key, bool CanCreate, LongWord Access);
  // Reads a value of at most BufSize bytes; raises "Failed to get data".
  TRegDataType GetData(const AnsiString& Name, void* Buffer, Integer BufSize, Integer& Size);
  void PutData(const AnsiString& Name, uint32_t Type, const void* Buffer, Integer BufSize);

 public:
  TRegistry();
  explicit TRegistry(LongWord AAccess);
  // Closes the key and writes the process's pending changes (a failure goes
  // to standard error).
  ~TRegistry() override;

  HKEY RootKey() const { return FRootKey; }
  // Closes the current key when the root changes.
  void SetRootKey(HKEY Value);
  // Null while no key is open.
  HKEY CurrentKey() const { return FCurrent.Key; }
  // The open key's path under the root, without a leading backslash.
  const AnsiString& CurrentPath() const { return FCurrent.Path; }
  LongWord Access() const { return FAccess; }
  void SetAccess(LongWord Value) { FAccess = Value; }
  bool LazyWrite() const { return FLazyWrite; }
  void SetLazyWrite(bool Value) { FLazyWrite = Value; }

  // Key paths that start with "\" go from the root, others from the open
  // key (or the root when none is open). A trailing "\" is ignored.
  bool OpenKey(const AnsiString& Key, bool CanCreate);
  bool OpenKeyReadOnly(const AnsiString& Key);
  // Writes the pending changes too when LazyWrite is off, and raises when
  // that fails (the key is closed even then).
  void CloseKey();
  // Creates the key (and the keys on its path) without opening it.
  bool CreateKey(const AnsiString& Key);
  // Deletes the key with all its subkeys.
  bool DeleteKey(const AnsiString& Key);
  bool KeyExists(const AnsiString& Key);
  // Copies OldName's values and subkeys to a new key NewName, then deletes
  // OldName when Delete is set. Nothing happens when NewName exists.
  void MoveKey(const AnsiString& OldName, const AnsiString& NewName, bool Delete);
  bool HasSubKeys();
  // Each clears Strings first. Subkeys sort without regard to case; values
  // keep their order.
  void GetKeyNames(TStrings* Strings);
  void GetValueNames(TStrings* Strings);

  bool ValueExists(const AnsiString& Name);
  bool DeleteValue(const AnsiString& Name);
  TRegDataType GetDataType(const AnsiString& Name);
  // The value's size in bytes (a string's with its terminating zero); -1
  // when there is no such value.
  Integer GetDataSize(const AnsiString& Name);
  bool GetDataInfo(const AnsiString& Name, TRegDataInfo& Value);

  // "" when the value does not exist.
  AnsiString ReadString(const AnsiString& Name);
  void WriteString(const AnsiString& Name, const AnsiString& Value);
  void WriteExpandString(const AnsiString& Name, const AnsiString& Value);
  Integer ReadInteger(const AnsiString& Name);
  void WriteInteger(const AnsiString& Name, Integer Value);
  bool ReadBool(const AnsiString& Name);
  void WriteBool(const AnsiString& Name, bool Value);
  // Eight bytes of binary data.
  Extended ReadFloat(const AnsiString& Name);
  void WriteFloat(const AnsiString& Name, Extended Value);
  // Returns the value's size (0 when missing); raises "Invalid data type"
  // when it is not binary or larger than BufSize.
  Integer ReadBinaryData(const AnsiString& Name, void* Buffer, Integer BufSize);
  void WriteBinaryData(const AnsiString& Name, const void* Buffer, Integer BufSize);
};

// An ini file over the registry: the file name is a key under
// HKEY_CURRENT_USER, sections are its subkeys (a section that starts with
// "\" names a key from the root). Strings are REG_SZ, integers REG_DWORD
// (an existing string value stays a string), floats and binary streams
// REG_BINARY, booleans "1"/"0".
class TRegistryIniFile : public TCustomIniFile {
  RTL_CLASS(TRegistryIniFile, TCustomIniFile)
  std::unique_ptr<TRegistry> FRegIniFile;
  class TSectionScope;

 public:
  explicit TRegistryIniFile(const AnsiString& FileName, LongWord AAccess = KEY_ALL_ACCESS);
  ~TRegistryIniFile() override;

  TRegistry* RegIniFile() const { return FRegIniFile.get(); }

  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
  Integer ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default) override;
  void WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value) override;
  Extended ReadFloat(const AnsiString& Section, const AnsiString& Name, Extended Default) override;
  void WriteFloat(const AnsiString& Section, const AnsiString& Name, Extended Value) override;
  Integer ReadBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value) override;
  void WriteBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value) override;
  void ReadSection(const AnsiString& Section, TStrings* Strings) override;
  // The subkeys of the file's key.
  void ReadSections(TStrings* Strings) override;
  // Integers as decimal text, binary values as hexadecimal text.
  void ReadSectionValues(const AnsiString& Section, TStrings* Strings) override;
  // Deletes the section's key with its subkeys.
  void EraseSection(const AnsiString& Section) override;
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
  // Writes the pending changes; raises when that fails.
  void UpdateFile() override;
};

namespace rtl::detail {
// The store's file, from the current environment.
AnsiString RegistryFileName();
// Writes the process's pending changes; false when the file could not be
// written (they stay pending).
bool FlushRegistry();
// The same, raising ERegistryException with the file and the reason.
void SaveRegistry();
// The same, writing a failure to standard error unless it is the one
// written last (for destructors and the exit).
void FlushRegistryOrReport();
}  // namespace rtl::detail
