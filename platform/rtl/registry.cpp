#include "platform/rtl/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

RTL_IMPLEMENT_CLASS(TRegistry)
RTL_IMPLEMENT_CLASS(TRegistryIniFile)

namespace {

// ---- The tree ---------------------------------------------------------------

struct TRegValue {
  AnsiString Name;
  uint32_t Type = REG_NONE;
  std::vector<Byte> Data;
  bool Volatile = false;  // answered, never written to the file
};

struct TRegNode {
  AnsiString Name;
  std::vector<TRegValue> Values;
  std::vector<std::unique_ptr<TRegNode>> Keys;  // sorted without regard to case
  bool Volatile = false;

  TRegNode* Find(const AnsiString& name) const {
    for (const auto& k : Keys)
      if (AnsiSameText(k->Name, name)) return k.get();
    return nullptr;
  }
  TRegNode* FindOrAdd(const AnsiString& name, bool isVolatile) {
    if (TRegNode* k = Find(name)) {
      if (!isVolatile) k->Volatile = false;
      return k;
    }
    auto node = std::make_unique<TRegNode>();
    node->Name = name;
    node->Volatile = isVolatile;
    auto at = std::find_if(Keys.begin(), Keys.end(), [&](const auto& k) { return AnsiCompareText(k->Name, name) > 0; });
    return Keys.insert(at, std::move(node))->get();
  }
  TRegValue* FindValue(const AnsiString& name) {
    for (TRegValue& v : Values)
      if (AnsiSameText(v.Name, name)) return &v;
    return nullptr;
  }
};

using TPath = std::vector<AnsiString>;

TRegNode* FindPath(TRegNode& root, const TPath& path) {
  TRegNode* n = &root;
  for (const AnsiString& s : path)
    if (!(n = n->Find(s))) return nullptr;
  return n;
}

TRegNode* MakePath(TRegNode& root, const TPath& path, bool isVolatile) {
  TRegNode* n = &root;
  for (const AnsiString& s : path) n = n->FindOrAdd(s, isVolatile);
  return n;
}

void SetValue(TRegNode& node, const TRegValue& value) {
  if (TRegValue* v = node.FindValue(value.Name))
    *v = value;
  else
    node.Values.push_back(value);
}

// One change made by this process, replayed onto the file's content when
// the store is read again or written.
struct TRegOp {
  enum TKind { opCreateKey, opDeleteKey, opSetValue, opDeleteValue } Kind;
  TPath Path;
  TRegValue Value;  // the value set, or the name of the one deleted
};

void ApplyOp(TRegNode& root, const TRegOp& op) {
  switch (op.Kind) {
    case TRegOp::opCreateKey: MakePath(root, op.Path, false); break;
    case TRegOp::opSetValue: SetValue(*MakePath(root, op.Path, false), op.Value); break;
    case TRegOp::opDeleteKey: {
      TPath parentPath(op.Path.begin(), op.Path.end() - 1);
      if (TRegNode* parent = FindPath(root, parentPath))
        std::erase_if(parent->Keys, [&](const auto& k) { return AnsiSameText(k->Name, op.Path.back()); });
      break;
    }
    case TRegOp::opDeleteValue:
      if (TRegNode* n = FindPath(root, op.Path))
        std::erase_if(n->Values, [&](const TRegValue& v) { return AnsiSameText(v.Name, op.Value.Name); });
      break;
  }
}

// ---- Roots ------------------------------------------------------------------

struct TRootName {
  uint32_t Key;
  const char* Name;
};
constexpr TRootName kRoots[] = {{0x80000000, "HKEY_CLASSES_ROOT"},
                                {0x80000001, "HKEY_CURRENT_USER"},
                                {0x80000002, "HKEY_LOCAL_MACHINE"},
                                {0x80000003, "HKEY_USERS"},
                                {0x80000005, "HKEY_CURRENT_CONFIG"}};

AnsiString RootName(HKEY key) {
  for (const TRootName& r : kRoots)
    if (rtl::detail::PredefinedKey(r.Key) == key) return r.Name;
  return AnsiString();
}

AnsiString CanonicalRoot(const AnsiString& name) {
  for (const TRootName& r : kRoots)
    if (AnsiSameText(name, r.Name)) return r.Name;
  return AnsiString();
}

// Splits "a\b\c"; false on an empty part or a line break.
bool SplitKeyPath(const AnsiString& s, TPath& out) {
  size_t pos = 0;
  for (;;) {
    size_t bs = s.find('\\', pos);
    AnsiString part = s.substr(pos, bs == AnsiString::npos ? AnsiString::npos : bs - pos);
    if (part.empty() || part.find_first_of("\r\n") != AnsiString::npos) return false;
    out.push_back(part);
    if (bs == AnsiString::npos) return true;
    pos = bs + 1;
  }
}

const char* const kShellFolders[] = {"HKEY_CURRENT_USER", "Software", "Microsoft", "Windows", "CurrentVersion", "Explorer", "Shell Folders"};

void SeedShellFolders(TRegNode& root) {
  TRegNode* n = MakePath(root, TPath(std::begin(kShellFolders), std::end(kShellFolders)), true);
  const std::pair<const char*, AnsiString> folders[] = {{"AppData", GetAppDataFolder()}, {"Personal", GetPersonalFolder()}};
  for (const auto& [name, folder] : folders) {
    if (n->FindValue(name)) continue;
    TRegValue v{name, REG_SZ, std::vector<Byte>(folder.begin(), folder.end()), true};
    v.Data.push_back(0);
    n->Values.push_back(std::move(v));
  }
}

// ---- The file format ----------------------------------------------------------

AnsiString Quote(const AnsiString& s) {
  AnsiString r = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') r += '\\';
    r += c;
  }
  return r + "\"";
}

// Reads a quoted string at s[pos] (which is '"'); pos ends after it.
bool Unquote(const AnsiString& s, size_t& pos, AnsiString& out) {
  out.clear();
  for (++pos; pos < s.size(); ++pos) {
    char c = s[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\' && pos + 1 < s.size()) c = s[++pos];
    out += c;
  }
  return false;
}

bool IsPlainString(const std::vector<Byte>& d) {
  if (d.empty() || d.back() != 0) return false;
  for (size_t i = 0; i + 1 < d.size(); ++i)
    if (d[i] == 0 || d[i] == '\r' || d[i] == '\n') return false;
  return true;
}

AnsiString LowerHex(uint32_t v, int digits) { return LowerCase(IntToHex(v, digits)); }

void WriteValue(AnsiString& out, const TRegValue& v) {
  AnsiString line = v.Name.empty() ? AnsiString("@") : Quote(v.Name);
  line += '=';
  if (v.Type == REG_SZ && IsPlainString(v.Data)) {
    out += line + Quote(AnsiString(v.Data.begin(), v.Data.end() - 1)) + "\r\n";
    return;
  }
  if (v.Type == REG_DWORD && v.Data.size() == 4) {
    uint32_t d;
    std::memcpy(&d, v.Data.data(), 4);
    out += line + "dword:" + LowerHex(d, 8) + "\r\n";
    return;
  }
  line += v.Type == REG_BINARY ? AnsiString("hex:") : "hex(" + LowerHex(v.Type, 1) + "):";
  // Wrapped as the export tool does: lines of at most 80 characters.
  for (size_t i = 0; i < v.Data.size(); ++i) {
    line += LowerHex(v.Data[i], 2);
    if (i + 1 < v.Data.size()) {
      line += ',';
      if (line.size() > 76) {
        out += line + "\\\r\n";
        line = "  ";
      }
    }
  }
  out += line + "\r\n";
}

void WriteNode(AnsiString& out, const TRegNode& n, const AnsiString& path, bool isRoot) {
  const bool persistent = std::any_of(n.Values.begin(), n.Values.end(), [](const TRegValue& v) { return !v.Volatile; });
  if (persistent || (!isRoot && !n.Volatile)) {
    out += "[" + path + "]\r\n";
    for (const TRegValue& v : n.Values)
      if (!v.Volatile) WriteValue(out, v);
    out += "\r\n";
  }
  for (const auto& k : n.Keys) WriteNode(out, *k, path + "\\" + k->Name, false);
}

AnsiString StoreText(const TRegNode& tree) {
  AnsiString out = "REGEDIT4\r\n\r\n";
  for (const auto& root : tree.Keys) WriteNode(out, *root, root->Name, true);
  return out;
}

bool ParseHexBytes(const AnsiString& s, std::vector<Byte>& out) {
  out.clear();
  int digits = 0, cur = 0;
  for (char c : s) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d >= 0) {
      if (++digits > 2) return false;
      cur = cur * 16 + d;
    } else if (c == ',') {
      if (digits == 0) return false;
      out.push_back(static_cast<Byte>(cur));
      digits = cur = 0;
    } else if (c != ' ' && c != '\t' && c != '\\') {
      return false;
    }
  }
  if (digits > 0) out.push_back(static_cast<Byte>(cur));
  return true;
}

// Parses `data` (what follows "name=") into v; false for unknown forms.
bool ParseData(const AnsiString& data, TRegValue& v) {
  if (!data.empty() && data[0] == '"') {
    size_t pos = 0;
    AnsiString s;
    if (!Unquote(data, pos, s)) return false;
    v.Type = REG_SZ;
    v.Data.assign(s.begin(), s.end());
    v.Data.push_back(0);
    return true;
  }
  if (data.compare(0, 6, "dword:") == 0) {
    const AnsiString hex = Trim(data.substr(6));
    if (hex.empty() || hex.size() > 8 || hex.find_first_not_of("0123456789abcdefABCDEF") != AnsiString::npos) return false;
    uint32_t d = static_cast<uint32_t>(std::strtoul(hex.c_str(), nullptr, 16));
    v.Type = REG_DWORD;
    v.Data.resize(4);
    std::memcpy(v.Data.data(), &d, 4);
    return true;
  }
  if (data.compare(0, 4, "hex:") == 0) {
    v.Type = REG_BINARY;
    return ParseHexBytes(data.substr(4), v.Data);
  }
  if (data.compare(0, 4, "hex(") == 0) {
    size_t close = data.find("):");
    if (close == AnsiString::npos || close == 4) return false;
    const AnsiString type = data.substr(4, close - 4);
    if (type.size() > 8 || type.find_first_not_of("0123456789abcdefABCDEF") != AnsiString::npos) return false;
    v.Type = static_cast<uint32_t>(std::strtoul(type.c_str(), nullptr, 16));
    return ParseHexBytes(data.substr(close + 2), v.Data);
  }
  return false;
}

void ParseStore(const AnsiString& text, TRegNode& tree) {
  TStringList list;
  list.SetText(text);
  TRegNode* current = nullptr;
  for (Integer i = 0; i < list.Count(); ++i) {
    AnsiString line = TrimRight(list.Strings(i));
    // A hexadecimal value goes on over lines that end in a backslash.
    while (!line.empty() && line.back() == '\\' && i + 1 < list.Count() && line.find("=hex") != AnsiString::npos) {
      line.pop_back();
      line += Trim(list.Strings(++i));
    }
    line = TrimLeft(line);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      current = nullptr;
      size_t close = line.rfind(']');
      if (close == AnsiString::npos) continue;
      const bool remove = line.size() > 1 && line[1] == '-';
      TPath path;
      if (!SplitKeyPath(line.substr(remove ? 2 : 1, close - (remove ? 2 : 1)), path)) continue;
      path[0] = CanonicalRoot(path[0]);
      if (path[0].empty()) continue;
      if (remove) {
        if (path.size() > 1) ApplyOp(tree, {TRegOp::opDeleteKey, path, {}});
      } else {
        current = MakePath(tree, path, false);
      }
      continue;
    }
    if (!current || (line[0] != '@' && line[0] != '"')) continue;
    TRegValue v;
    size_t pos = 0;
    if (line[0] == '@')
      pos = 1;
    else if (!Unquote(line, pos, v.Name))
      continue;
    pos = line.find_first_not_of(" \t", pos);
    if (pos == AnsiString::npos || line[pos] != '=') continue;
    const AnsiString data = Trim(line.substr(pos + 1));
    if (data == "-")
      std::erase_if(current->Values, [&](const TRegValue& x) { return AnsiSameText(x.Name, v.Name); });
    else if (ParseData(data, v))
      SetValue(*current, v);
  }
}

// ---- The store ------------------------------------------------------------------

// The store holds every program's keys: a larger limit than a settings file's.
constexpr Int64 kMaxStoreSize = 16 * 1024 * 1024;

struct TFileIdentity {
  bool Exists = false;
  dev_t Dev = 0;
  ino_t Ino = 0;
  off_t Size = 0;
  int64_t MTime = 0;

  static TFileIdentity Of(const struct stat& st) {
    return {true, st.st_dev, st.st_ino, st.st_size, static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
  }
  bool operator==(const TFileIdentity&) const = default;
};

TFileIdentity IdentityOf(const AnsiString& file) {
  struct stat st;
  return ::stat(file.c_str(), &st) == 0 ? TFileIdentity::Of(st) : TFileIdentity{};
}

// The process's copy of the store with its pending changes.
class TRegStore {
  std::mutex FLock;
  TRegNode FTree;
  AnsiString FFile;
  TFileIdentity FIdentity;
  bool FLoaded = false;
  bool FUnreadable = false;
  AnsiString FUnreadableReason;
  std::vector<TRegOp> FPending;
  bool FFlushAtExit = false;
  // The failure last written to standard error, so that each closing
  // registry and the exit do not repeat it; cleared by a save.
  AnsiString FReported;

  // Reads the file; one that exists but cannot be read (not a regular
  // file, too large, no permission) reads as empty and is never replaced.
  void Load(const AnsiString& file) {
    FTree = TRegNode();
    FIdentity = IdentityOf(file);
    AnsiString text;
    const TWholeFileRead r = ReadWholeFile(file, text, kMaxStoreSize);
    FUnreadable = r != wfOk && r != wfMissing;
    FUnreadableReason = FUnreadable ? WholeFileReadFailure(r, kMaxStoreSize) : AnsiString();
    if (r == wfOk) ParseStore(text, FTree);
    SeedShellFolders(FTree);
    for (const TRegOp& op : FPending) ApplyOp(FTree, op);
    FFile = file;
    FLoaded = true;
  }

 public:
  std::unique_lock<std::mutex> Lock() { return std::unique_lock(FLock); }

  // Reads the file again when it is not the one read last. Lock held.
  void Sync() {
    const AnsiString file = rtl::detail::RegistryFileName();
    if (!FLoaded || file != FFile || IdentityOf(file) != FIdentity) Load(file);
  }

  TRegNode* Find(const TPath& path) { return FindPath(FTree, path); }

  void Apply(TRegOp op) {
    ApplyOp(FTree, op);
    FPending.push_back(std::move(op));
    if (!FFlushAtExit) {
      FFlushAtExit = true;
      std::atexit([] { rtl::detail::FlushRegistryOrReport(); });
    }
  }

  // Writes the pending changes; on failure Error names the file and why,
  // and the changes stay pending.
  bool Flush(AnsiString& Error) {
    std::lock_guard lk(FLock);
    return FlushLocked(Error);
  }

  // Writes the pending changes; a failure goes to standard error unless it
  // is the one reported last.
  void FlushOrReport() {
    std::lock_guard lk(FLock);
    AnsiString error;
    if (FlushLocked(error) || error == FReported) return;
    FReported = error;
    std::fprintf(stderr, "The registry changes were not saved. %s\n", error.c_str());
    std::fflush(stderr);
  }

 private:
  bool FlushLocked(AnsiString& Error) {
    if (FPending.empty()) return true;
    const AnsiString file = rtl::detail::RegistryFileName();
    auto fail = [&](const AnsiString& reason) {
      Error = Format("Unable to write to %s. %s", {file, reason});
      return false;
    };
    auto lastError = [] { return SysErrorMessage(GetLastError()) + "."; };
    if (!ForceDirectories(ExtractFileDir(file))) return fail(lastError());
    TFileUpdateLock lock(file);
    if (!lock.Locked()) return fail(lastError());
    // Under the lock: the latest file, with this process's changes on top.
    FLoaded = false;
    Sync();
    if (FUnreadable) return fail(FUnreadableReason);
    if (!ReplaceWholeFile(file, StoreText(FTree))) return fail(lastError());
    FIdentity = IdentityOf(file);
    FPending.clear();
    FReported.clear();
    return true;
  }
};

TRegStore& Store() {
  static TRegStore* store = new TRegStore;  // never destroyed: flushed at exit
  return *store;
}

HKEY NewKeyHandle() {
  static std::atomic<uintptr_t> next{1};
  return reinterpret_cast<HKEY>(next++);
}

TRegDataType DataTypeOf(uint32_t type) {
  switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
  }
}

[[noreturn]] void ReadError(const AnsiString& name) { throw ERegistryException("Invalid data type for '%s'", {name}); }

}  // namespace

namespace rtl::detail {

AnsiString RegistryFileName() { return GetAppDataFolder() + "/registry/user.reg"; }

bool FlushRegistry() {
  AnsiString error;
  return Store().Flush(error);
}

void SaveRegistry() {
  AnsiString error;
  if (!Store().Flush(error)) throw ERegistryException(error);
}

void FlushRegistryOrReport() { Store().FlushOrReport(); }

}  // namespace rtl::detail

// ---- TRegistry --------------------------------------------------------------------

TRegistry::TRegistry() : TRegistry(KEY_ALL_ACCESS) {}

TRegistry::TRegistry(LongWord AAccess) : FRootKey(HKEY_CURRENT_USER), FAccess(AAccess) {}

TRegistry::~TRegistry() {
  FCurrent = TKeyState();
  rtl::detail::FlushRegistryOrReport();
}

void TRegistry::SetRootKey(HKEY Value) {
  if (Value == FRootKey) return;
  FRootKey = Value;
  CloseKey();
}

bool TRegistry::Resolve(const AnsiString& Key, std::vector<AnsiString>& Segments) const {
  const AnsiString root = RootName(FRootKey);
  if (root.empty()) return false;
  const bool absolute = !Key.empty() && Key[0] == '\\';
  if (absolute || !FCurrent.Key)
    Segments = {root};
  else
    Segments = FCurrent.Segments;
  AnsiString rest = absolute ? Key.substr(1) : Key;
  if (!rest.empty() && rest.back() == '\\') rest.pop_back();
  return rest.empty() || SplitKeyPath(rest, Segments);
}

bool TRegistry::SetKey(const AnsiString& Key, bool CanCreate, LongWord Access) {
  std::vector<AnsiString> segments;
  if (!Resolve(Key, segments)) return false;
  const bool relative = Key.empty() || Key[0] != '\\';
  {
    auto lk = Store().Lock();
    Store().Sync();
    if (!Store().Find(segments)) {
      if (!CanCreate || (relative && FCurrent.Key && !FCurrent.Writable)) return false;
      Store().Apply({TRegOp::opCreateKey, segments, {}});
    }
  }
  AnsiString path = relative ? Key : Key.substr(1);
  if (!path.empty() && path.back() == '\\') path.pop_back();
  if (relative && FCurrent.Key && !FCurrent.Path.empty()) path = path.empty() ? FCurrent.Path : FCurrent.Path + "\\" + path;
  FCurrent = {NewKeyHandle(), path, std::move(segments), (Access & KEY_SET_VALUE) != 0};
  return true;
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate) {
  if (!SetKey(Key, CanCreate, FAccess)) return false;
  if (!FLazyWrite) rtl::detail::FlushRegistry();
  return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& Key) { return SetKey(Key, false, KEY_READ); }

void TRegistry::CloseKey() {
  if (!FCurrent.Key) return;
  FCurrent = TKeyState();  // closed even when the save below fails
  if (!FLazyWrite) rtl::detail::SaveRegistry();
}

bool TRegistry::CreateKey(const AnsiString& Key) {
  std::vector<AnsiString> segments;
  const bool relative = Key.empty() || Key[0] != '\\';
  if (!Resolve(Key, segments) || (relative && FCurrent.Key && !FCurrent.Writable))
    throw ERegistryException("Failed to create key %s", {Key});
  auto lk = Store().Lock();
  Store().Sync();
  if (!Store().Find(segments)) Store().Apply({TRegOp::opCreateKey, segments, {}});
  return true;
}

bool TRegistry::DeleteKey(const AnsiString& Key) {
  std::vector<AnsiString> segments;
  const bool relative = Key.empty() || Key[0] != '\\';
  if (!Resolve(Key, segments) || segments.size() < 2 || (relative && FCurrent.Key && !FCurrent.Writable)) return false;
  auto lk = Store().Lock();
  Store().Sync();
  if (!Store().Find(segments)) return false;
  Store().Apply({TRegOp::opDeleteKey, segments, {}});
  return true;
}

bool TRegistry::KeyExists(const AnsiString& Key) {
  std::vector<AnsiString> segments;
  if (!Resolve(Key, segments)) return false;
  auto lk = Store().Lock();
  Store().Sync();
  return Store().Find(segments) != nullptr;
}

void TRegistry::MoveKey(const AnsiString& OldName, const AnsiString& NewName, bool Delete) {
  std::vector<AnsiString> from, to;
  if (!Resolve(OldName, from) || !Resolve(NewName, to) || from.size() < 2 || to.size() < 2) return;
  auto lk = Store().Lock();
  Store().Sync();
  const TRegNode* source = Store().Find(from);
  if (!source || Store().Find(to)) return;
  // The copy as a list of changes, taken before any is applied.
  std::vector<TRegOp> ops;
  auto copy = [&](auto& self, const TRegNode& n, const TPath& path) -> void {
    ops.push_back({TRegOp::opCreateKey, path, {}});
    for (const TRegValue& v : n.Values) {
      TRegValue value = v;
      value.Volatile = false;
      ops.push_back({TRegOp::opSetValue, path, value});
    }
    for (const auto& k : n.Keys) {
      TPath sub = path;
      sub.push_back(k->Name);
      self(self, *k, sub);
    }
  };
  copy(copy, *source, to);
  if (Delete) ops.push_back({TRegOp::opDeleteKey, from, {}});
  for (TRegOp& op : ops) Store().Apply(std::move(op));
}

bool TRegistry::HasSubKeys() {
  if (!FCurrent.Key) return false;
  auto lk = Store().Lock();
  Store().Sync();
  const TRegNode* n = Store().Find(FCurrent.Segments);
  return n && !n->Keys.empty();
}

void TRegistry::GetKeyNames(TStrings* Strings) {
  Strings->BeginUpdate();
  Strings->Clear();
  if (FCurrent.Key) {
    auto lk = Store().Lock();
    Store().Sync();
    if (const TRegNode* n = Store().Find(FCurrent.Segments))
      for (const auto& k : n->Keys) Strings->Add(k->Name);
  }
  Strings->EndUpdate();
}

void TRegistry::GetValueNames(TStrings* Strings) {
  Strings->BeginUpdate();
  Strings->Clear();
  if (FCurrent.Key) {
    auto lk = Store().Lock();
    Store().Sync();
    if (const TRegNode* n = Store().Find(FCurrent.Segments))
      for (const TRegValue& v : n->Values) Strings->Add(v.Name);
  }
  Strings->EndUpdate();
}

bool TRegistry::GetDataInfo(const AnsiString& Name, TRegDataInfo& Value) {
  Value = TRegDataInfo();
  if (!FCurrent.Key) return false;
  auto lk = Store().Lock();
  Store().Sync();
  TRegNode* n = Store().Find(FCurrent.Segments);
  const TRegValue* v = n ? n->FindValue(Name) : nullptr;
  if (!v) return false;
  Value.RegData = DataTypeOf(v->Type);
  Value.DataSize = static_cast<Integer>(v->Data.size());
  return true;
}

bool TRegistry::ValueExists(const AnsiString& Name) {
  TRegDataInfo info;
  return GetDataInfo(Name, info);
}

TRegDataType TRegistry::GetDataType(const AnsiString& Name) {
  TRegDataInfo info;
  GetDataInfo(Name, info);
  return info.RegData;
}

Integer TRegistry::GetDataSize(const AnsiString& Name) {
  TRegDataInfo info;
  return GetDataInfo(Name, info) ? info.DataSize : -1;
}

bool TRegistry::DeleteValue(const AnsiString& Name) {
  if (!FCurrent.Key || !FCurrent.Writable) return false;
  auto lk = Store().Lock();
  Store().Sync();
  TRegNode* n = Store().Find(FCurrent.Segments);
  if (!n || !n->FindValue(Name)) return false;
  Store().Apply({TRegOp::opDeleteValue, FCurrent.Segments, {Name, REG_NONE, {}, false}});
  return true;
}

TRegDataType TRegistry::GetData(const AnsiString& Name, void* Buffer, Integer BufSize, Integer& Size) {
  TRegDataType type = rdUnknown;
  bool ok = false;
  if (FCurrent.Key) {
    auto lk = Store().Lock();
    Store().Sync();
    TRegNode* n = Store().Find(FCurrent.Segments);
    if (const TRegValue* v = n ? n->FindValue(Name) : nullptr; v && static_cast<Integer>(v->Data.size()) <= BufSize) {
      Size = static_cast<Integer>(v->Data.size());
      if (Size > 0) std::memcpy(Buffer, v->Data.data(), v->Data.size());
      type = DataTypeOf(v->Type);
      ok = true;
    }
  }
  if (!ok) throw ERegistryException("Failed to get data for '%s'", {Name});
  return type;
}

void TRegistry::PutData(const AnsiString& Name, uint32_t Type, const void* Buffer, Integer BufSize) {
  bool ok = false;
  if (FCurrent.Key && FCurrent.Writable && Name.find_first_of("\r\n") == AnsiString::npos) {
    auto lk = Store().Lock();
    Store().Sync();
    if (Store().Find(FCurrent.Segments)) {  // not deleted meanwhile
      const Byte* p = static_cast<const Byte*>(Buffer);
      Store().Apply({TRegOp::opSetValue, FCurrent.Segments, {Name, Type, std::vector<Byte>(p, p + BufSize), false}});
      ok = true;
    }
  }
  if (!ok) throw ERegistryException("Failed to set data for '%s'", {Name});
}

AnsiString TRegistry::ReadString(const AnsiString& Name) {
  const Integer len = GetDataSize(Name);
  if (len <= 0) return AnsiString();
  AnsiString s(static_cast<size_t>(len), '\0');
  Integer size = 0;
  const TRegDataType type = GetData(Name, s.data(), len, size);
  if (type != rdString && type != rdExpandString) ReadError(Name);
  s.resize(std::strlen(s.c_str()));
  return s;
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value) {
  PutData(Name, REG_SZ, Value.c_str(), static_cast<Integer>(Value.size() + 1));
}

void TRegistry::WriteExpandString(const AnsiString& Name, const AnsiString& Value) {
  PutData(Name, REG_EXPAND_SZ, Value.c_str(), static_cast<Integer>(Value.size() + 1));
}

Integer TRegistry::ReadInteger(const AnsiString& Name) {
  Integer value = 0, size = 0;
  if (GetData(Name, &value, sizeof value, size) != rdInteger) ReadError(Name);
  return value;
}

void TRegistry::WriteInteger(const AnsiString& Name, Integer Value) { PutData(Name, REG_DWORD, &Value, sizeof Value); }

bool TRegistry::ReadBool(const AnsiString& Name) { return ReadInteger(Name) != 0; }

void TRegistry::WriteBool(const AnsiString& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

Extended TRegistry::ReadFloat(const AnsiString& Name) {
  double value = 0;
  Integer size = 0;
  if (GetData(Name, &value, sizeof value, size) != rdBinary || size != sizeof value) ReadError(Name);
  return value;
}

void TRegistry::WriteFloat(const AnsiString& Name, Extended Value) {
  double v = Value;
  PutData(Name, REG_BINARY, &v, sizeof v);
}

Integer TRegistry::ReadBinaryData(const AnsiString& Name, void* Buffer, Integer BufSize) {
  TRegDataInfo info;
  if (!GetDataInfo(Name, info)) return 0;
  if ((info.RegData != rdBinary && info.RegData != rdUnknown) || info.DataSize > BufSize) ReadError(Name);
  Integer size = 0;
  GetData(Name, Buffer, info.DataSize, size);
  return size;
}

void TRegistry::WriteBinaryData(const AnsiString& Name, const void* Buffer, Integer BufSize) {
  PutData(Name, REG_BINARY, Buffer, BufSize);
}

// ---- TRegistryIniFile ------------------------------------------------------------

// Makes a section's key current for one call, then returns to the file's key.
class TRegistryIniFile::TSectionScope {
  TRegistry& FReg;
  TRegistry::TKeyState FSaved;
  bool FOpened;

 public:
  TSectionScope(TRegistry& reg, const AnsiString& Section, bool CanCreate)
      : FReg(reg), FSaved(reg.FCurrent), FOpened(reg.SetKey(Section, CanCreate, reg.FAccess)) {}
  ~TSectionScope() { FReg.FCurrent = FSaved; }
  bool Opened() const { return FOpened; }
};

TRegistryIniFile::TRegistryIniFile(const AnsiString& FileName, LongWord AAccess)
    : TCustomIniFile(FileName), FRegIniFile(std::make_unique<TRegistry>(AAccess)) {
  FRegIniFile->OpenKey(FileName, true);
}

TRegistryIniFile::~TRegistryIniFile() = default;

AnsiString TRegistryIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
  TSectionScope scope(*FRegIniFile, Section, false);
  if (!scope.Opened() || !FRegIniFile->ValueExists(Ident)) return Default;
  return FRegIniFile->ReadString(Ident);
}

void TRegistryIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  TSectionScope scope(*FRegIniFile, Section, true);
  if (!scope.Opened()) throw ERegistryException("Failed to create key %s", {Section});
  FRegIniFile->WriteString(Ident, Value);
}

Integer TRegistryIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default) {
  TSectionScope scope(*FRegIniFile, Section, false);
  if (!scope.Opened() || !FRegIniFile->ValueExists(Ident)) return Default;
  if (FRegIniFile->GetDataType(Ident) == rdString) return StrToIntDef(FRegIniFile->ReadString(Ident), Default);
  return FRegIniFile->ReadInteger(Ident);
}

void TRegistryIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value) {
  TSectionScope scope(*FRegIniFile, Section, true);
  if (!scope.Opened()) throw ERegistryException("Failed to create key %s", {Section});
  if (FRegIniFile->GetDataType(Ident) == rdString)
    FRegIniFile->WriteString(Ident, IntToStr(Value));
  else
    FRegIniFile->WriteInteger(Ident, Value);
}

Extended TRegistryIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Name, Extended Default) {
  TSectionScope scope(*FRegIniFile, Section, false);
  if (!scope.Opened() || !FRegIniFile->ValueExists(Name)) return Default;
  return FRegIniFile->ReadFloat(Name);
}

void TRegistryIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Name, Extended Value) {
  TSectionScope scope(*FRegIniFile, Section, true);
  if (!scope.Opened()) throw ERegistryException("Failed to create key %s", {Section});
  FRegIniFile->WriteFloat(Name, Value);
}

Integer TRegistryIniFile::ReadBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value) {
  TSectionScope scope(*FRegIniFile, Section, false);
  TRegDataInfo info;
  if (!scope.Opened() || !FRegIniFile->GetDataInfo(Name, info) || info.RegData != rdBinary) return 0;
  std::vector<Byte> data(static_cast<size_t>(info.DataSize));
  const Integer size = FRegIniFile->ReadBinaryData(Name, data.data(), info.DataSize);
  if (size > 0) Value->WriteBuffer(data.data(), size);
  return size;
}

void TRegistryIniFile::WriteBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value) {
  std::vector<Byte> data;
  Byte buf[4096];
  for (Integer n; (n = Value->Read(buf, sizeof buf)) > 0;) data.insert(data.end(), buf, buf + n);
  TSectionScope scope(*FRegIniFile, Section, true);
  if (!scope.Opened()) throw ERegistryException("Failed to create key %s", {Section});
  FRegIniFile->WriteBinaryData(Name, data.data(), static_cast<Integer>(data.size()));
}

void TRegistryIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
  TSectionScope scope(*FRegIniFile, Section, false);
  if (scope.Opened())
    FRegIniFile->GetValueNames(Strings);
  else
    Strings->Clear();
}

void TRegistryIniFile::ReadSections(TStrings* Strings) { FRegIniFile->GetKeyNames(Strings); }

void TRegistryIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
  TStringList names;
  ReadSection(Section, &names);
  Strings->BeginUpdate();
  Strings->Clear();
  TSectionScope scope(*FRegIniFile, Section, false);
  for (Integer i = 0; scope.Opened() && i < names.Count(); ++i) {
    const AnsiString name = names[i];
    TRegDataInfo info;
    if (!FRegIniFile->GetDataInfo(name, info)) continue;
    AnsiString text;
    if (info.RegData == rdString || info.RegData == rdExpandString) {
      text = FRegIniFile->ReadString(name);
    } else if (info.RegData == rdInteger) {
      text = IntToStr(FRegIniFile->ReadInteger(name));
    } else {
      std::vector<Byte> data(static_cast<size_t>(info.DataSize));
      const Integer size = FRegIniFile->ReadBinaryData(name, data.data(), info.DataSize);
      for (Integer b = 0; b < size; ++b) text += IntToHex(data[static_cast<size_t>(b)], 2);
    }
    Strings->Add(name + "=" + text);
  }
  Strings->EndUpdate();
}

void TRegistryIniFile::EraseSection(const AnsiString& Section) { FRegIniFile->DeleteKey(Section); }

void TRegistryIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  TSectionScope scope(*FRegIniFile, Section, false);
  if (scope.Opened()) FRegIniFile->DeleteValue(Ident);
}

void TRegistryIniFile::UpdateFile() { rtl::detail::SaveRegistry(); }
