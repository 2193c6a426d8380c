// The bytes of a scenario file, read a block at a time, as the JSON parser
// takes them: through an input iterator.
#ifndef DRAVIK_SIM_REGULAR_FILE_READER_H
#define DRAVIK_SIM_REGULAR_FILE_READER_H

#include <cstddef>
#include <iterator>
#include <vector>

class RegularFileReader {
public:
    // Opens path when it names a regular file. Anything else (a folder, a
    // FIFO, a device, a socket) is refused unopened: it could hold the reader
    // for ever or feed it without end.
    explicit RegularFileReader(const char* path);
    ~RegularFileReader();
    RegularFileReader(const RegularFileReader&) = delete;
    RegularFileReader& operator=(const RegularFileReader&) = delete;

    // Why the file can't be opened or could not be read to its end; null
    // while nothing went wrong.
    const char* problem() const { return problem_; }

    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = char;
        using difference_type = std::ptrdiff_t;
        using pointer = const char*;
        using reference = const char&;

        explicit Iterator(RegularFileReader* reader) : reader_(reader) {}
        const char& operator*() const { return reader_->block_[reader_->next_]; }
        Iterator& operator++()
        {
            ++reader_->next_;
            return *this;
        }
        // Only the end is ever compared with.
        bool operator==(const Iterator& other) const { return atEnd() == other.atEnd(); }
        bool operator!=(const Iterator& other) const { return !(*this == other); }

    private:
        bool atEnd() const { return reader_ == nullptr || !reader_->available(); }

        RegularFileReader* reader_;
    };

    Iterator begin() { return Iterator(this); }
    static Iterator end() { return Iterator(nullptr); }

private:
    // Reads the next block once the last one is used up; false at the end.
    bool available();

    int fd_ = -1;
    const char* problem_ = nullptr;
    std::vector<char> block_;
    size_t next_ = 0;
    size_t length_ = 0;
};

#endif
