#include "KvTGRes.h"

#include "KvController.h"

namespace kv {

TGlyphResourceManager* GlyphResourceManager = nullptr;

TGlyphResourceManager::~TGlyphResourceManager() {
    while (Entry* entry = first_) {
        first_ = entry->Next;
        ::DeleteObject(entry->Bitmap);
        delete entry;
    }
}

HBITMAP TGlyphResourceManager::Add(HBITMAP bitmap) {
    if (!bitmap) return nullptr;
    if (AddRef(bitmap)) return bitmap;  // already held: one entry per bitmap
    first_ = new Entry{bitmap, 1, first_};
    return bitmap;
}

HBITMAP TGlyphResourceManager::AddResource(const std::string& name) { return Add(LoadModuleBitmap(name)); }

bool TGlyphResourceManager::AddRef(HBITMAP bitmap) {
    Entry* entry = Find(bitmap);
    if (!entry) return false;
    ++entry->RefCount;
    return true;
}

void TGlyphResourceManager::Release(HBITMAP bitmap) {
    for (Entry** link = &first_; *link; link = &(*link)->Next) {
        Entry* entry = *link;
        if (entry->Bitmap != bitmap) continue;
        if (--entry->RefCount > 0) return;
        *link = entry->Next;
        ::DeleteObject(entry->Bitmap);
        delete entry;
        return;
    }
}

int TGlyphResourceManager::RefCount(HBITMAP bitmap) const {
    const Entry* entry = Find(bitmap);
    return entry ? entry->RefCount : 0;
}

int TGlyphResourceManager::Count() const {
    int count = 0;
    for (const Entry* entry = first_; entry; entry = entry->Next) ++count;
    return count;
}

TGlyphResourceManager::Entry* TGlyphResourceManager::Find(HBITMAP bitmap) const {
    for (Entry* entry = first_; entry; entry = entry->Next)
        if (entry->Bitmap == bitmap) return entry;
    return nullptr;
}

void InitKvTGResUnit() {
    if (GlyphResourceManager) return;
    GlyphResourceManager = new TGlyphResourceManager();
    GlyphResourceManager->AddResource("ORTCCHECKGLYPHS");
}

void DoneKvTGResUnit() {
    delete GlyphResourceManager;
    GlyphResourceManager = nullptr;
}

}  // namespace kv
