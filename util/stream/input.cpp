#include "util/stream/input.h"

#include "util/generic/buffer.h"
#include "util/generic/exception.h"
#include "util/generic/temp_buf.h"
#include "util/stream/output.h"
#include "util/stream/string_stream.h"

size_t TInputStream::Load(void* buffer, size_t length) {
    char* p = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < length) {
        const size_t n = DoRead(p + done, length - done);
        if (n == 0) {
            break;
        }
        done += n;
    }
    return done;
}

Stroka TInputStream::ReadTo(char delimiter) {
    Stroka s;
    if (!DoReadTo(s, delimiter)) {
        throw kexception() << "can not read from stream";
    }
    return s;
}

bool TInputStream::ReadLine(Stroka& line) {
    if (!DoReadTo(line, '\n')) {
        return false;
    }
    const size_t n = line.size();
    if (n > 0 && line[n - 1] == '\r') {
        line.ReserveAndResize(n - 1);
    }
    return true;
}

Stroka TInputStream::ReadLine() {
    Stroka s;
    if (!ReadLine(s)) {
        throw kexception() << "can not read line from stream";
    }
    return s;
}

Stroka TInputStream::ReadAll() {
    Stroka result;
    TStringOutput out(result);
    TransferData(this, &out);
    return result;
}

size_t TInputStream::DoSkip(size_t length) {
    if (length == 0) {
        return 0;
    }
    TTempBuf scratch(length);
    return Load(scratch.Data(), length);
}

bool TInputStream::DoReadTo(Stroka& s, char delimiter) {
    char c;
    if (DoRead(&c, 1) == 0) {
        return false;
    }
    s.clear();
    do {
        if (c == delimiter) {
            return true;
        }
        s.append(c);
    } while (DoRead(&c, 1) != 0);
    return true;
}

size_t TransferData(TInputStream* in, TOutputStream* out, char* scratch, size_t length) {
    if (length == 0) {
        return 0;
    }
    size_t total = 0;
    while (const size_t n = in->Read(scratch, length)) {
        out->Write(scratch, n);
        total += n;
    }
    return total;
}

size_t TransferData(TInputStream* in, TOutputStream* out) {
    TTempBuf scratch;
    return TransferData(in, out, scratch.Data(), scratch.Size());
}

size_t TransferData(TInputStream* in, TOutputStream* out, size_t bufferSize) {
    TTempBuf scratch(bufferSize);
    return TransferData(in, out, scratch.Data(), bufferSize);
}

size_t TransferData(TInputStream* in, TOutputStream* out, TBuffer& scratch) {
    return TransferData(in, out, scratch.Data(), scratch.Size());
}
