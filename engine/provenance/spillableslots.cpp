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
    // Blocks of a power of two slots, at least two of them in memory.
    mBlockShift = 0;
    while (mBlockShift < kMostBlockShift && std::size_t{2} << mBlockShift <= slots / 2)
        ++mBlockShift;
    mMostResident = std::max<std::size_t>(2, (slots + blockSlots() - 1) / blockSlots());
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

SpillableSlots::Block& SpillableSlots::resident(std::size_t number) const
{
    if (number >= mBlocks.size())
        mBlocks.resize(number + 1);
    Block& block = mBlocks[number];
    if (!block.data) {
        if (mMostResident != 0 && mResident >= mMostResident)
            evictOne();
        const std::size_t bytes = blockSlots() * mSlotBytes;
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
        const std::size_t bytes = blockSlots() * mSlotBytes;
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
