// The decoders' messages, as the user reads them (UTF-8).
#pragma once

namespace picture::messages {

inline constexpr const char* BitmapNotValid = "Bitmap image is not valid";
inline constexpr const char* IconNotValid = "Icon image is not valid";
inline constexpr const char* MetafileNotValid = "Metafile is not valid";
inline constexpr const char* GifUnknownVersion = "Неизвестная версия изображения GIF";
// Followed by the extension block's label as two lower-case hexadecimal digits.
inline constexpr const char* GifUndefinedExtension = "Неопределенное расширение GIF: ";
inline constexpr const char* StreamReadError = "Stream read error";

}  // namespace picture::messages
