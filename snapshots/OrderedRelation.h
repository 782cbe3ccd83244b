#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <vector>

/// An ordered to-many relationship: an ordered set of shared objects (no object twice) whose ten mutators tell
/// observers before and after each change what kind of change it is and at which indexes. A mutator that would
/// change nothing sends nothing. Main thread only, like the records that hold it.
template <typename T> class OrderedRelation
{
public:
    using Pointer = std::shared_ptr<T>;
    enum class Kind { Insertion, Removal, Replacement };
    enum class Phase { WillChange, DidChange };
    /// Indexes in ascending order: where the objects will stand (insertion) or stood (removal, replacement).
    struct Change
    {
        Kind kind = Kind::Insertion;
        std::vector<size_t> indexes;
    };
    using Observer = std::function<void(Phase, const Change &)>;

    [[nodiscard]] size_t size() const { return m_objects.size(); }
    [[nodiscard]] bool empty() const { return m_objects.empty(); }
    [[nodiscard]] const Pointer &at(size_t index) const { return m_objects.at(index); }
    [[nodiscard]] const std::vector<Pointer> &objects() const { return m_objects; }
    [[nodiscard]] bool contains(const T *object) const { return indexOf(object) != npos; }
    static constexpr size_t npos = size_t(-1);
    [[nodiscard]] size_t indexOf(const T *object) const
    {
        const auto it =
            std::find_if(m_objects.begin(), m_objects.end(), [object](const Pointer &p) { return p.get() == object; });
        return it == m_objects.end() ? npos : size_t(it - m_objects.begin());
    }

    /// Observers are called in the order they were added; the relation's owner keeps them for its lifetime.
    void addObserver(Observer observer) { m_observers.push_back(std::move(observer)); }

    // The ten mutators.

    void insertObjectAtIndex(const Pointer &object, size_t index)
    {
        if (!object || contains(object.get()) || index > m_objects.size())
            return;
        change({Kind::Insertion, {index}}, [&] { m_objects.insert(m_objects.begin() + long(index), object); });
    }

    void removeObjectAtIndex(size_t index)
    {
        if (index >= m_objects.size())
            return;
        change({Kind::Removal, {index}}, [&] { m_objects.erase(m_objects.begin() + long(index)); });
    }

    /// Each object lands at the index paired with it, taken in ascending order, as an ordered set inserts.
    void insertObjectsAtIndexes(const std::vector<Pointer> &objects, const std::set<size_t> &indexes)
    {
        if (objects.size() != indexes.size() || objects.empty())
            return;
        std::set<const T *> seen;
        for (const Pointer &object : objects) {
            if (!object || contains(object.get()) || !seen.insert(object.get()).second)
                return;
        }
        if (*indexes.rbegin() >= m_objects.size() + objects.size())
            return;
        change({Kind::Insertion, {indexes.begin(), indexes.end()}}, [&] {
            size_t i = 0;
            for (const size_t index : indexes)
                m_objects.insert(m_objects.begin() + long(index), objects[i++]);
        });
    }

    void removeObjectsAtIndexes(const std::set<size_t> &indexes)
    {
        if (indexes.empty() || *indexes.rbegin() >= m_objects.size())
            return;
        change({Kind::Removal, {indexes.begin(), indexes.end()}}, [&] {
            for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
                m_objects.erase(m_objects.begin() + long(*it));
        });
    }

    void replaceObjectAtIndex(size_t index, const Pointer &object)
    {
        if (index >= m_objects.size() || !object)
            return;
        const size_t existing = indexOf(object.get());
        if (existing != npos && existing != index)
            return;
        change({Kind::Replacement, {index}}, [&] { m_objects[index] = object; });
    }

    void replaceObjectsAtIndexes(const std::set<size_t> &indexes, const std::vector<Pointer> &objects)
    {
        if (indexes.empty() || indexes.size() != objects.size() || *indexes.rbegin() >= m_objects.size())
            return;
        change({Kind::Replacement, {indexes.begin(), indexes.end()}}, [&] {
            size_t i = 0;
            for (const size_t index : indexes)
                m_objects[index] = objects[i++];
        });
    }

    void addObject(const Pointer &object) { insertObjectAtIndex(object, m_objects.size()); }

    /// Nothing at all, not even a notice, for an object that is not in the relation.
    void removeObject(const T *object)
    {
        const size_t index = indexOf(object);
        if (index != npos)
            removeObjectAtIndex(index);
    }

    /// Appends, in their order, only the objects not already in the relation.
    void addObjects(const std::vector<Pointer> &objects)
    {
        std::vector<Pointer> fresh;
        for (const Pointer &object : objects) {
            const bool seen = std::any_of(fresh.begin(), fresh.end(), [&](const Pointer &p) { return p == object; });
            if (object && !seen && !contains(object.get()))
                fresh.push_back(object);
        }
        if (fresh.empty())
            return;
        Change notice{Kind::Insertion, {}};
        for (size_t i = 0; i < fresh.size(); ++i)
            notice.indexes.push_back(m_objects.size() + i);
        change(notice, [&] { m_objects.insert(m_objects.end(), fresh.begin(), fresh.end()); });
    }

    void removeObjects(const std::vector<const T *> &objects)
    {
        std::set<size_t> indexes;
        for (const T *object : objects) {
            const size_t index = indexOf(object);
            if (index != npos)
                indexes.insert(index);
        }
        if (!indexes.empty())
            removeObjectsAtIndexes(indexes);
    }

private:
    template <typename Apply> void change(const Change &notice, Apply apply)
    {
        for (const Observer &observer : m_observers)
            observer(Phase::WillChange, notice);
        apply();
        for (const Observer &observer : m_observers)
            observer(Phase::DidChange, notice);
    }

    std::vector<Pointer> m_objects;
    std::vector<Observer> m_observers;
};
