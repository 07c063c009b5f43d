#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace pluvora {

// An array of fixed-size slots that keeps at most a set number in memory
// and the rest in a file of its own, so a run of any length holds a
// bounded part of it. Slots never written read as zero bytes. Without a
// folder to spill to, everything stays in memory.
class SpillableSlots {
public:
    SpillableSlots() = default;
    SpillableSlots(const SpillableSlots&) = delete;
    SpillableSlots& operator=(const SpillableSlots&) = delete;
    ~SpillableSlots();

    // Drops every slot; new slots are `slotBytes` long.
    void reset(std::size_t slotBytes);
    // Beyond about `slots` slots in memory, the least recently used part
    // goes to a file in `folder`, removed when the slots are.
    void spillBeyond(std::size_t slots, const std::filesystem::path& folder);

    // Valid until the next call on this object.
    std::byte* slot(std::size_t index)
    {
        Block& block = index >> mBlockShift == mLastBlock ? mBlocks[mLastBlock] : resident(index >> mBlockShift);
        block.dirty = true;
        return block.data.get() + (index & mask()) * mSlotBytes;
    }
    const std::byte* slot(std::size_t index) const
    {
        const Block& block =
            index >> mBlockShift == mLastBlock ? mBlocks[mLastBlock] : resident(index >> mBlockShift);
        return block.data.get() + (index & mask()) * mSlotBytes;
    }

    bool spilled() const { return mFileOpen; }

private:
    // Slots move to and from the file in blocks of this many, or fewer
    // when few slots may stay in memory.
    static constexpr unsigned kMostBlockShift = 12;
    unsigned mBlockShift = kMostBlockShift;
    std::size_t blockSlots() const { return std::size_t{1} << mBlockShift; }
    std::size_t mask() const { return blockSlots() - 1; }

    struct Block {
        std::unique_ptr<std::byte[]> data;
        unsigned long long used = 0;
        bool dirty = false;
        bool onFile = false;
    };

    Block& resident(std::size_t block) const;
    void evictOne() const;
    void removeFile();

    std::size_t mSlotBytes = 0;
    std::size_t mMostResident = 0; // 0: no bound
    std::filesystem::path mFolder;
    // Blocks come and go on reads too, so a const reader can still walk a
    // spilled run.
    mutable std::filesystem::path mFile;
    mutable std::fstream mStream;
    mutable bool mFileOpen = false;
    mutable std::vector<Block> mBlocks;
    mutable std::size_t mResident = 0;
    mutable unsigned long long mClock = 0;
    mutable std::size_t mLastBlock = static_cast<std::size_t>(-1);
};

} // namespace pluvora
