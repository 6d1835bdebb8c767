#include "ChineseNames.h"

#include <array>
#include <string_view>

namespace gamedata {

namespace {

template <std::size_t N>
std::string_view pick(Random &random, const std::array<std::string_view, N> &parts)
{
    return parts[random.below(N)];
}

constexpr std::array<std::string_view, 40> Surnames = {
    "李", "王", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴", "徐", "孙", "胡", "朱",
    "高", "林", "何", "郭", "马", "罗", "梁", "宋", "郑", "谢", "韩", "唐", "冯", "于",
    "董", "萧", "程", "曹", "袁", "邓", "许", "傅", "沈", "曾", "彭", "欧阳"};

constexpr std::array<std::string_view, 92> GivenParts = {
    "逍", "遥", "灵", "儿", "月", "如", "云", "飞", "龙", "凤", "天", "明", "星", "雪", "风", "雨",
    "剑", "心", "玉", "冰", "火", "山", "海", "清", "小", "白", "紫", "青", "霜", "影", "夜", "晨",
    "安", "宁", "静", "华", "英", "杰", "豪", "侠", "秋", "春", "冬", "夏", "无", "忌", "若", "梦",
    "子", "轩", "浩", "宇", "博", "文", "思", "欣", "怡", "诗", "涵", "梓", "萱", "晓", "东", "志",
    "强", "丽", "娟", "建", "国", "伟", "平", "秀", "兰", "俊", "嘉", "佳", "琪", "家", "宏", "刚",
    "慧", "敏", "婉", "婷", "翔", "鹏", "旭", "辉", "丹", "阳", "雅", "琴"};

constexpr std::array<std::string_view, 24> PetParts = {
    "小", "白", "黑", "花", "球", "毛", "豆", "旺", "财", "福", "宝", "贝",
    "闪", "电", "雷", "霆", "团", "子", "咪", "喵", "虎", "狼", "鹰", "熊"};

constexpr std::array<std::string_view, 12> PetLatin = {
    "Shadow", "Lucky", "Max", "Bella", "Rex", "Coco", "Tiger", "Luna", "Storm", "Pixel", "Mochi", "Ace"};

constexpr std::array<std::string_view, 20> Qualities = {
    "", "", "", "精制", "优质", "上品", "极品", "传说", "破旧", "锋利",
    "神圣", "暗黑", "远古", "王者", "勇者", "烈焰", "寒冰", "雷霆", "幽冥", "天罡"};

constexpr std::array<std::string_view, 16> Materials = {
    "青铜", "白银", "黄金", "玄铁", "精钢", "赤铜", "紫金", "玄玉",
    "龙鳞", "凤羽", "寒铁", "木", "皮", "布", "水晶", "乌金"};

constexpr std::array<std::string_view, 30> Kinds = {
    "长剑", "短剑", "大刀", "长枪", "法杖", "弓", "匕首", "斧", "锤", "扇",
    "头盔", "铠甲", "战靴", "护腕", "腰带", "披风", "戒指", "项链", "耳环", "盾",
    "药水", "金创药", "回城卷", "宝石", "矿石", "召唤石", "符咒", "令牌", "秘籍", "宝箱"};

constexpr std::array<std::string_view, 8> Grades = {"", "", "", "", "(一阶)", "(二阶)", "(三阶)", "(四阶)"};

constexpr std::array<std::string_view, 16> EnglishWords = {
    "Bronze", "Silver", "Golden", "Iron", "Steel", "Dragon", "Phoenix", "Frost",
    "Sword", "Blade", "Staff", "Helm", "Armor", "Boots", "Ring", "Potion"};

} // namespace

std::string characterName(Random &random)
{
    std::string name(pick(random, Surnames));
    name += pick(random, GivenParts);
    if (random.percent(90))
        name += pick(random, GivenParts);
    return name;
}

std::string petName(Random &random)
{
    if (random.percent(15))
        return std::string(pick(random, PetLatin));
    std::string name(pick(random, PetParts));
    name += pick(random, PetParts);
    return name;
}

std::string itemName(Random &random)
{
    std::string name(pick(random, Qualities));
    name += pick(random, Materials);
    name += pick(random, Kinds);
    name += pick(random, Grades);
    return name;
}

std::string itemEnglishName(Random &random)
{
    std::string name(pick(random, EnglishWords));
    name += ' ';
    name += pick(random, EnglishWords);
    return name;
}

} // namespace gamedata
