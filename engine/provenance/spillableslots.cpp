#include "engine/provenance/spillableslots.h"

#include "engine/error.h"

#include <algorithm>
#include <cstring>

namespace pluvora {

SpillableSlots::~SpillableSlots() { removeFile(); }

void SpillableSlots::reset(std::size_t slotBytes)
{
    removeFile();
    mBlocks.clear();
    mResident = 0;
    mClock = 0;
    mLastBlock = static_cast<std::size_t>(-1);
    mSlotBytes = slotBytes;
}

void SpillableSlots::spillBeyond(std::size_t slots, const std::filesystem::path& folder)
{
    mBlockSlots = std::clamp<std::size_t>(slots / 2, 1, kBlockSlots);
    mMostResident = std::max<std::size_t>(2, (slots + mBlockSlots - 1) / mBlockSlots);
    mFolder = folder;
}

void SpillableSlots::removeFile()
{
    if (!mFileOpen)
        return;
    mStream.close();
    std::error_code ignored;
    std::filesystem::remove(mFile, ignored);
    mFileOpen = false;
}

std::byte* SpillableSlots::slot(std::size_t index)
{
    Block& block = resident(index / mBlockSlots);
    block.dirty = true;
    return block.data.get() + (index % mBlockSlots) * mSlotBytes;
}

const std::byte* SpillableSlots::slot(std::size_t index) const
{
    return resident(index / mBlockSlots).data.get() + (index % mBlockSlots) * mSlotBytes;
}

SpillableSlots::Block& SpillableSlots::resident(std::size_t number) const
{
    // Readers and writers mostly walk the days in order.
    if (number == mLastBlock)
        return mBlocks[number];
    if (number >= mBlocks.size())
        mBlocks.resize(number + 1);
    Block& block = mBlocks[number];
    if (!block.data) {
        if (mMostResident != 0 && mResident >= mMostResident)
            evictOne();
        const std::size_t bytes = mBlockSlots * mSlotBytes;
        block.data = std::make_unique<std::byte[]>(bytes); // zeroed
        ++mResident;
        if (block.onFile) {
            mStream.clear();
            mStream.seekg(static_cast<std::streamoff>(number * bytes));
            mStream.read(reinterpret_cast<char*>(block.data.get()), static_cast<std::streamsize>(bytes));
            if (!mStream)
                throw Error("Cannot read back the days kept in " + mFile.string());
        }
        block.dirty = false;
    }
    block.used = ++mClock;
    mLastBlock = number;
    return block;
}

void SpillableSlots::evictOne() const
{
    std::size_t oldest = mBlocks.size();
    for (std::size_t b = 0; b < mBlocks.size(); ++b)
        if (mBlocks[b].data && (oldest == mBlocks.size() || mBlocks[b].used < mBlocks[oldest].used))
            oldest = b;
    Block& block = mBlocks[oldest];
    if (block.dirty) {
        if (!mFileOpen) {
            mFile = mFolder / "provenance-days.bin";
            mStream.open(mFile, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
            if (!mStream)
                throw Error("Cannot keep the days in " + mFile.string());
            mFileOpen = true;
        }
        const std::size_t bytes = mBlockSlots * mSlotBytes;
        mStream.clear();
        mStream.seekp(static_cast<std::streamoff>(oldest * bytes));
        mStream.write(reinterpret_cast<const char*>(block.data.get()), static_cast<std::streamsize>(bytes));
        if (!mStream)
            throw Error("Cannot keep the days in " + mFile.string());
        block.onFile = true;
    }
    block.data.reset();
    block.dirty = false;
    --mResident;
    if (mLastBlock == oldest)
        mLastBlock = static_cast<std::size_t>(-1);
}

} // namespace pluvora
