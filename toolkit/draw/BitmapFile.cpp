#include "toolkit/draw/BitmapFile.h"

#include <objbase.h>
#include <oleauto.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "toolkit/draw/ScopedGdi.h"

namespace QVUtility {

bool SaveBitmapFile(const std::string& fileName, HBITMAP bitmap) {
    if (!bitmap) return false;
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info)) return false;
    const LONG width = info.bmWidth;
    const LONG height = info.bmHeight;
    if (width < 0 || height < 0) return false;
    const std::uint64_t pixelCount = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (pixelCount > std::numeric_limits<std::size_t>::max() / 4) return false;

    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(pixelCount));
    bool read = true;
    if (pixelCount > 0) {
        MemoryContext memory(ScreenContext().Get());
        BITMAPINFO request{};
        request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        request.bmiHeader.biWidth = width;
        request.bmiHeader.biHeight = -height;  // top row first
        request.bmiHeader.biPlanes = 1;
        request.bmiHeader.biBitCount = 32;
        request.bmiHeader.biCompression = BI_RGB;
        const int lines = memory ? GetDIBits(memory.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                             &request, DIB_RGB_COLORS)
                                 : 0;
        read = lines == height;
    }
    if (!read) return false;

    // 32-bit pixels are stored blue, green, red, unused: 0x00RRGGBB as a
    // number; the grid holds 0x00BBGGRR.
    PixelGrid grid(static_cast<std::size_t>(height));
    for (LONG row = 0; row < height; ++row) {
        auto& line = grid[static_cast<std::size_t>(row)];
        line.resize(static_cast<std::size_t>(width));
        const std::uint32_t* source = pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
        for (LONG column = 0; column < width; ++column) {
            const std::uint32_t p = source[column];
            const std::uint32_t blue = p & 0xFF;
            const std::uint32_t green = (p >> 8) & 0xFF;
            const std::uint32_t red = (p >> 16) & 0xFF;
            line[static_cast<std::size_t>(column)] = (blue << 16) | (green << 8) | red;
        }
    }
    pixels.clear();
    pixels.shrink_to_fit();
    return WriteBitmapFile(fileName, grid);
}

namespace {

// A 24-bit DIB section of `rows` picture rows, `width` pixels wide, selected
// into a memory context: the band that the painter draws into, stored top
// row first or bottom row first.
class BandCanvas {
public:
    BandCanvas(int width, int rows, bool topDown)
        : memory_(ScreenContext().Get()),
          band_(MakeBand(memory_.Get(), width, rows, topDown, bits_)),
          bandIn_(memory_.Get(), bits_ != nullptr ? band_.Get() : nullptr) {}
    ~BandCanvas() {
        if (bandIn_) SetWindowOrgEx(memory_.Get(), 0, 0, nullptr);
    }
    BandCanvas(const BandCanvas&) = delete;
    BandCanvas& operator=(const BandCanvas&) = delete;

    bool Ready() const { return static_cast<bool>(bandIn_); }

    // Has the picture's rows `top` to `bottom` - 1 painted with picture row
    // `firstRow` on the band's first row; answers the band's pixels.
    const std::uint8_t* Paint(const BandPainter& paint, int top, int bottom, int firstRow) {
        SetWindowOrgEx(memory_.Get(), 0, firstRow, nullptr);
        paint(memory_.Get(), top, bottom);
        GdiFlush();
        return static_cast<const std::uint8_t*>(bits_);
    }

private:
    static HBITMAP MakeBand(HDC memory, int width, int rows, bool topDown, void*& bits) {
        if (memory == nullptr) return nullptr;
        BITMAPINFO layout{};
        layout.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        layout.bmiHeader.biWidth = width;
        layout.bmiHeader.biHeight = topDown ? -rows : rows;
        layout.bmiHeader.biPlanes = 1;
        layout.bmiHeader.biBitCount = 24;
        layout.bmiHeader.biCompression = BI_RGB;
        return CreateDIBSection(memory, &layout, DIB_RGB_COLORS, &bits, nullptr, 0);
    }

    // Declared in the order they are made; they go in reverse.
    MemoryContext memory_;
    void* bits_ = nullptr;
    GdiObject<HBITMAP> band_;
    ScopedSelect bandIn_;
};

// The rows of a band of at most about `bandBytes` (at least one row).
int BandRows(int height, std::uint64_t rowBytes, std::size_t bandBytes) {
    return static_cast<int>(
        std::max<std::uint64_t>(1, std::min<std::uint64_t>(static_cast<std::uint64_t>(height), bandBytes / rowBytes)));
}

// A stream on an open file handle, for an encoder that writes (and may seek
// back) as it goes. It lives on the caller's stack: the references it
// counts are only checked, never freed.
class FileHandleStream : public IStream {
public:
    explicit FileHandleStream(HANDLE file) : file_(file) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (id == IID_IUnknown || id == IID_ISequentialStream || id == IID_IStream) {
            *object = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* read) override {
        DWORD done = 0;
        const BOOL ok = ReadFile(file_, data, size, &done, nullptr);
        if (read != nullptr) *read = done;
        return ok ? (done == size ? S_OK : S_FALSE) : STG_E_READFAULT;
    }
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override {
        DWORD done = 0;
        const BOOL ok = WriteFile(file_, data, size, &done, nullptr);
        if (written != nullptr) *written = done;
        return ok && done == size ? S_OK : STG_E_WRITEFAULT;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
        LARGE_INTEGER now{};
        if (!SetFilePointerEx(file_, move, &now, origin)) return STG_E_INVALIDFUNCTION;
        if (position != nullptr) position->QuadPart = static_cast<ULONGLONG>(now.QuadPart);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
        LARGE_INTEGER now{};
        LARGE_INTEGER zero{};
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size.QuadPart);
        if (!SetFilePointerEx(file_, zero, &now, FILE_CURRENT) || !SetFilePointerEx(file_, end, nullptr, FILE_BEGIN) ||
            !SetEndOfFile(file_) || !SetFilePointerEx(file_, now, nullptr, FILE_BEGIN)) {
            return STG_E_MEDIUMFULL;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
        if (stat == nullptr) return E_POINTER;
        *stat = STATSTG{};
        stat->type = STGTY_STREAM;
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file_, &size)) stat->cbSize.QuadPart = static_cast<ULONGLONG>(size.QuadPart);
        stat->grfMode = STGM_READWRITE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

    ULONG References() const { return references_; }

private:
    HANDLE file_;
    ULONG references_ = 0;
};

// Holds a COM interface and releases it.
template <class Interface>
class ComHeld {
public:
    ComHeld() = default;
    ~ComHeld() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    ComHeld(const ComHeld&) = delete;
    ComHeld& operator=(const ComHeld&) = delete;
    Interface* operator->() const { return pointer_; }
    Interface** Out() { return &pointer_; }
    Interface* Get() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

// COM for the calling thread while it lives, unless the thread has it already.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    // RPC_E_CHANGED_MODE: COM is there, in another model; usable all the same.
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

// Encodes the picture as PNG into the stream, band after band from the top.
bool EncodePng(IWICImagingFactory* factory, IStream* stream, int width, int height, const BandPainter& paint,
               std::size_t bandBytes) {
    ComHeld<IWICBitmapEncoder> encoder;
    ComHeld<IWICBitmapFrameEncode> frame;
    ComHeld<IPropertyBag2> options;
    if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Out())) ||
        FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.Out(), options.Out()))) {
        return false;
    }
    // Rows stored unfiltered: a chart of flat colours compresses well as it
    // is, and the encoder takes half the time it needs to try each filter.
    // An encoder without the option keeps its own choice.
    PROPBAG2 option{};
    option.pstrName = const_cast<LPOLESTR>(L"FilterOption");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_UI1;
    value.bVal = static_cast<BYTE>(WICPngFilterNone);
    options->Write(1, &option, &value);
    if (FAILED(frame->Initialize(options.Get())) ||
        FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)))) {
        return false;
    }
    // The band's own layout, blue, green, red: the encoder must take it as it is.
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR) return false;

    const std::uint64_t rowBytes = BitmapRowBytes(static_cast<std::uint64_t>(width));
    const int bandRows = BandRows(height, rowBytes, bandBytes);
    BandCanvas canvas(width, bandRows, true);
    if (!canvas.Ready()) return false;
    for (int top = 0; top < height; top += bandRows) {
        const int bottom = std::min(height, top + bandRows);
        const std::uint8_t* pixels = canvas.Paint(paint, top, bottom, top);
        const UINT rows = static_cast<UINT>(bottom - top);
        if (FAILED(frame->WritePixels(rows, static_cast<UINT>(rowBytes), static_cast<UINT>(rowBytes * rows),
                                      const_cast<BYTE*>(pixels)))) {
            return false;
        }
    }
    return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool WriteBitmapInBands(const std::string& fileName, int width, int height, const BandPainter& paint,
                        std::size_t bandBytes) {
    std::vector<std::uint8_t> header;
    if (width <= 0 || height <= 0 ||
        !BitmapFileHeader(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), header)) {
        return false;
    }
    // One band of whole rows, stored bottom row first like the file itself,
    // so that a painted band is the file's next piece as it stands.
    const std::uint64_t rowBytes = BitmapRowBytes(static_cast<std::uint64_t>(width));
    const int bandRows = BandRows(height, rowBytes, bandBytes);
    BandCanvas canvas(width, bandRows, false);
    if (!canvas.Ready()) return false;
    bool headerHanded = false;
    int bottom = height;  // the next band ends above this row
    return WriteFileReplacing(fileName, [&](const std::uint8_t*& data, std::size_t& size) {
        if (!headerHanded) {
            headerHanded = true;
            data = header.data();
            size = header.size();
            return true;
        }
        size = 0;
        if (bottom <= 0) return true;
        const int top = std::max(0, bottom - bandRows);
        // Picture row y lands on band row y - (bottom - bandRows): the
        // band's last rows, which come first in its memory.
        data = canvas.Paint(paint, top, bottom, bottom - bandRows);
        size = static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(bottom - top);
        bottom = top;
        return true;
    });
}

bool WritePngInBands(const std::string& fileName, int width, int height, const BandPainter& paint,
                     std::size_t bandBytes) {
    if (width <= 0 || height <= 0) return false;
    const ComScope com;
    if (!com.Usable()) return false;
    ComHeld<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.Out())))) {
        return false;
    }
    return WriteFileReplacingWith(fileName, [&](void* file) {
        FileHandleStream stream(static_cast<HANDLE>(file));
        const bool encoded = EncodePng(factory.Get(), &stream, width, height, paint, bandBytes);
        // The encoder is gone: nothing may still hold the stream.
        return encoded && stream.References() == 0;
    });
}

}  // namespace QVUtility
