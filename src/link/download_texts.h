// The download's operator-visible texts: status line and please-wait window captions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nlx::link {

inline constexpr std::string_view kReadingCaption = "读取数据中...";
inline constexpr std::string_view kStoringCaption = "存储数据中...";

inline constexpr std::string_view kReceivingText = "正在接收数据请稍候";
inline constexpr std::string_view kProgressPrefix = "数据读取完";
inline constexpr std::string_view kReceivedText = "数据接收完毕";
inline constexpr std::string_view kBadAcknowledgeText = "收到应答信号错误";
inline constexpr std::string_view kNoAcknowledgeText =
    "串行接口没有收到应答信号,可能是串行口号选的不对或传输线没有接好.";
inline constexpr std::string_view kNoDataText = "声级计中无数据";
inline constexpr std::string_view kDataLostText = "串行接收的数据有丢失";
inline constexpr std::string_view kCancelledText = "数据接收已取消";
inline constexpr std::string_view kPortErrorPrefix = "串行口错误: ";

// The progress text after byte `index` (0-based) of `total`: "数据读取完" + integer part of
// index * 100 / total + "%"; it runs from 0 to 99 per cent.
inline std::string progress_text(std::size_t index, std::size_t total) {
    std::size_t percent = total == 0 ? 0 : static_cast<std::size_t>((static_cast<unsigned long long>(index) * 100) / total);
    return std::string(kProgressPrefix) + std::to_string(percent) + "%";
}

}  // namespace nlx::link
