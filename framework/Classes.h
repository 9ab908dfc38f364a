// Component layer: objects with owners, free notification and a loading step.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace velfw {

// Base of the exceptions this code base raises; Message is what a report shows.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

// Raised to leave a handler quietly: reports skip it.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

// The class library's list-index error.
class EListError : public Exception {
public:
    explicit EListError(int index);
};

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// The object's class name without its namespace ("TIcon"), for messages.
std::string ClassNameOf(const TObject& object);

class TPersistent : public TObject {
public:
    // By default the source is asked to copy itself into this (AssignTo),
    // so a class that knows another one can be assigned either way.
    virtual void Assign(const TPersistent& source);
    // By default "Cannot assign a <this> to a <dest>".
    virtual void AssignTo(TPersistent& dest) const;

protected:
    // "Cannot assign a <source> to a <this>".
    [[noreturn]] void AssignError(const TPersistent& source) const;
};

// A byte stream. Read and Write move what they can and say how much;
// ReadBuffer raises a read error when the stream holds fewer bytes.
class TStream : public TObject {
public:
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual uint64_t Size() const = 0;
    virtual uint64_t Position() const = 0;
    virtual void SetPosition(uint64_t position) = 0;
    uint64_t Remaining() const { return Position() < Size() ? Size() - Position() : 0; }
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);
    // Little-endian 32-bit integers, as the stream forms store them.
    int32_t ReadInt32();
    void WriteInt32(int32_t value);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    uint64_t Size() const override { return bytes_.size(); }
    uint64_t Position() const override { return position_; }
    void SetPosition(uint64_t position) override { position_ = position; }
    void Clear() {
        bytes_.clear();
        position_ = 0;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint64_t position_ = 0;
};

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csDestroying = 1u << 1,
    csDesigning = 1u << 2,
};

enum class TOperation { opInsert, opRemove };

// Freeing a component (delete, or Free) goes in two phases: first, with the
// whole object still there, its destroy event runs; then the destructors run,
// and each framework class frees the owned components before its own members
// go. A destructor body that needs its owned components (to stop a timer,
// say) still has them.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    // Every delete of a component, whatever its static type, comes here first.
    static void operator delete(TComponent* component, std::destroying_delete_t);
    // Frees the memory of a component whose constructor failed.
    static void operator delete(void* storage) { ::operator delete(storage); }
    void Free() { delete this; }

    std::string Name;
    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    TComponent* FindComponent(const std::string& name) const;

    unsigned ComponentState() const { return state_; }
    bool IsLoading() const { return (state_ & csLoading) != 0; }
    bool IsDestroying() const { return (state_ & csDestroying) != 0; }

    // Asks to be told (Notification with opRemove) when `other` goes away.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // Loading bracket of a form description: components created with this one
    // (or one of its loading components) as owner join it; EndLoading runs their
    // Loaded steps in creation order, then this component's own.
    void BeginLoading();
    void EndLoading();

    // Frees the owned components, last first, each in its two phases.
    void DestroyComponents();

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    // Tells the owner, then each of the owner's other components, that this
    // component has joined the owner (Notification with opInsert), so that a
    // component can find a partner added after it. A class whose arrival
    // others look for calls it at the end of its own constructor: until then
    // the component is not yet of its class, and no receiver could tell what
    // joined.
    void AnnounceInsertion();
    virtual void Loaded();
    // The first phase of freeing: the destroy event (a failure in it is the
    // class's to report; freeing goes on).
    virtual void BeforeDestruction();
    void Destroying() { state_ |= csDestroying; }

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    TComponent* LoadingRoot();

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::vector<TComponent*>* loadingList_ = nullptr;  // set on a loading root only
    unsigned state_ = 0;
};

// Ordered list of strings, as the page lists and memos use it.
// Between BeginUpdate and EndUpdate (counted, so brackets nest) OnChange
// waits: an update that changed the list fires it once at its end.
class TStringList : public TPersistent {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& operator[](int index) const { return items_.at(static_cast<size_t>(index)); }
    std::string& operator[](int index) { return items_.at(static_cast<size_t>(index)); }
    int Add(const std::string& s);
    void Insert(int index, const std::string& s);
    void Delete(int index);
    void Clear();
    int IndexOf(const std::string& s) const;  // case-insensitive, as the class library does
    std::string Text() const;                  // lines joined with CR LF
    void SetText(const std::string& text);     // split on CR LF, LF or CR
    void Assign(const TPersistent& source) override;
    const std::vector<std::string>& Items() const { return items_; }

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    std::function<void(TStringList&)> OnChange;

protected:
    // What changed, for a list that mirrors the strings elsewhere (a list
    // box's window): one string now at `index`, the one that was at `index`
    // gone, or the whole list replaced. Called before OnChange.
    virtual void Inserted(int) {}
    virtual void Deleted(int) {}
    virtual void Reset() {}
    // The first BeginUpdate (true) and the last EndUpdate (false).
    virtual void SetUpdateState(bool) {}

private:
    void Changed();
    std::vector<std::string> items_;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};

}  // namespace velfw
