#include "fixtures.h"

#include "words/failure_words.h"

#include <utility>

Bytes headerOf(vuelco::Layout layout, const vuelco::Groups &groups)
{
    const bool arcade = layout == vuelco::Layout::Arcade;
    const vuelco::Grupo &first = arcade ? groups.GrupoA : groups.GrupoB;
    const vuelco::Grupo &second = arcade ? groups.GrupoB : groups.GrupoA;
    Bytes header{0x52, 0x45, 0x53, 0x00, static_cast<std::uint8_t>(arcade ? 2 : 3), 0x00, 0x00, 0x00};
    header.insert(header.end(), first.begin(), first.end());
    header.insert(header.end(), second.begin(), second.end());
    return header;
}

Bytes fileWith(vuelco::Layout layout, const Bytes &body, const vuelco::Groups &groups)
{
    return headerOf(layout, groups) + body;
}

Bytes bodyOf(std::size_t size)
{
    Bytes body(size);
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return body;
}

Bytes withByte(Bytes bytes, std::size_t offset, std::uint8_t value)
{
    bytes.at(offset) = value;
    return bytes;
}

Bytes firstBytes(Bytes bytes, std::size_t count)
{
    bytes.resize(count);
    return bytes;
}

Bytes operator+(Bytes head, const Bytes &tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

Thrown::Thrown(std::int32_t failureNumber, std::string text, std::filesystem::path failurePath)
    : number(failureNumber), description(std::move(text)), path(std::move(failurePath))
{
}

Thrown::Thrown(vuelco::FailureNumber failureNumber, std::filesystem::path failurePath)
    : Thrown(static_cast<std::int32_t>(failureNumber), vuelco::words::standardDescription(failureNumber),
             std::move(failurePath))
{
}

void PrintTo(const Thrown &thrown, std::ostream *out)
{
    *out << thrown.number << " \"" << thrown.description << "\" " << thrown.path;
}

Thrown thrownBy(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const vuelco::Failure &failure) {
        return {failure.number(), vuelco::words::description(failure), failure.path()};
    }
    return {};
}
