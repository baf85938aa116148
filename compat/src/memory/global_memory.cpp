// Movable global memory: a handle that is locked to get a stable pointer. Blocks never move
// here, but handles are checked, so a stale or foreign handle fails instead of corrupting.
#include "compat/win32_memory.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
  void *data;
  bool moveable;
  unsigned locks;
};

std::mutex guard;
// Keyed by handle: the block itself for movable memory, its data pointer for fixed memory.
std::unordered_map<HGLOBAL, Block> blocks;

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
  void *data = std::calloc(bytes ? bytes : 1, 1);
  if (!data) return nullptr;
  const bool moveable = (flags & GMEM_MOVEABLE) != 0;
  std::lock_guard<std::mutex> lock(guard);
  // A movable handle must differ from any data pointer: use a small heap cell as its identity.
  HGLOBAL handle = moveable ? static_cast<HGLOBAL>(new char) : data;
  blocks[handle] = Block{data, moveable, 0};
  return handle;
}

LPVOID GlobalLock(HGLOBAL handle) {
  std::lock_guard<std::mutex> lock(guard);
  auto found = blocks.find(handle);
  if (found == blocks.end()) return nullptr;
  if (found->second.moveable) ++found->second.locks;
  return found->second.data;
}

BOOL GlobalUnlock(HGLOBAL handle) {
  std::lock_guard<std::mutex> lock(guard);
  auto found = blocks.find(handle);
  if (found == blocks.end() || !found->second.moveable || found->second.locks == 0) return FALSE;
  return --found->second.locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  std::lock_guard<std::mutex> lock(guard);
  auto found = blocks.find(handle);
  if (found == blocks.end()) return handle;
  std::free(found->second.data);
  if (found->second.moveable) delete static_cast<char *>(handle);
  blocks.erase(found);
  return nullptr;
}
