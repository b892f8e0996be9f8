#pragma once

// An open POSIX file descriptor, closed when it goes out of scope (-1: none).
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1);
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    // Hands the descriptor over, for a close whose result the caller checks.
    int release();

private:
    int m_fd;
};
