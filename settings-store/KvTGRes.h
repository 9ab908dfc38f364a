// Shared glyph bitmaps, counted by their users: one manager per program.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

class TGlyphResourceManager {
public:
    TGlyphResourceManager() = default;
    TGlyphResourceManager(const TGlyphResourceManager&) = delete;
    TGlyphResourceManager& operator=(const TGlyphResourceManager&) = delete;
    // Frees every entry's bitmap, then the entry.
    ~TGlyphResourceManager();

    // Takes ownership of `bitmap` in a new entry counted once; null adds nothing.
    HBITMAP Add(HBITMAP bitmap);
    // The program's bitmap resource `name` in a new entry; null when there is none.
    HBITMAP AddResource(const std::string& name);
    // One more user of a bitmap the manager holds; false when it holds none such.
    bool AddRef(HBITMAP bitmap);
    // One user fewer; the last one frees the bitmap and its entry.
    void Release(HBITMAP bitmap);
    // Users of `bitmap`; 0 when the manager does not hold it.
    int RefCount(HBITMAP bitmap) const;
    int Count() const;

private:
    struct Entry {
        HBITMAP Bitmap;
        int RefCount;
        Entry* Next;
    };
    Entry* Find(HBITMAP bitmap) const;
    Entry* first_ = nullptr;
};

// The program's manager, made at start-up with the check-box glyphs
// "ORTCCHECKGLYPHS" when the program carries them.
extern TGlyphResourceManager* GlyphResourceManager;
void InitKvTGResUnit();
void DoneKvTGResUnit();

}  // namespace kv
