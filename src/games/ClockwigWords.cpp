#include "games/ClockwigWords.h"

void EngListAdd(QStringList& list) {
    static const char* const kWords[] = {
        "top",      "hobby",  "program", "rabbit",  "add",      "giraff",   "jeffry",  "dog",
        "glory",    "cat",    "kiss",    "clock",   "glass",    "through",  "apple",   "banana",
        "grape",    "lemon",  "melon",   "peach",   "cherry",   "water",    "bread",   "butter",
        "cheese",   "coffee", "juice",   "milk",    "rice",     "soup",     "sugar",   "table",
        "chair",    "window", "door",    "house",   "garden",   "flower",   "tree",    "river",
        "mountain", "ocean",  "island",  "cloud",   "rain",     "snow",     "wind",    "summer",
        "winter",   "spring", "autumn",  "morning", "evening",  "night",    "school",  "teacher",
        "student",  "friend", "family",  "mother",  "father",   "sister",   "brother", "baby",
        "happy",    "smile",  "laugh",   "music",   "piano",    "guitar",   "dance",   "sing",
        "book",     "paper",  "pencil",  "letter",  "computer", "keyboard", "mouse",   "screen",
        "phone",    "camera", "picture", "travel",  "train",    "plane",    "ship",    "bicycle",
        "road",     "city",   "country", "world",   "money",    "market",   "doctor",  "hospital",
        "kitchen",  "bottle", "basket",  "yellow",  "purple",   "green",    "orange",  "kiss",
        "clock",    "glass",  "through", "horse",   "tiger",    "lion",     "monkey",  "bird",
        "fish",     "duck",   "sheep",   "chicken", "rocket",   "button",
    };
    for (const char* word : kWords)
        list.append(QString::fromLatin1(word));
}

void HanListAdd(QStringList& list) {
    static const char* const kWords[] = {
        "바다사자", "호랑이",     "따뜻한빵", "우유",     "빵가루",   "훌쩍대다", "식혜",
        "넓은바다", "수정과",     "푸른하늘", "사과",     "바나나",   "포도",     "딸기",
        "수박",     "참외",       "복숭아",   "귤",       "감",       "자두",     "학교",
        "선생님",   "친구",       "가족",     "어머니",   "아버지",   "할머니",   "할아버지",
        "동생",     "하늘",       "구름",     "바람",     "눈사람",   "무지개",   "햇빛",
        "달빛",     "별빛",       "봄비",     "여름",     "가을",     "겨울",     "아침",
        "저녁",     "점심",       "밤하늘",   "기차",     "비행기",   "자동차",   "자전거",
        "버스",     "우산",       "모자",     "신발",     "양말",     "장갑",     "목도리",
        "가방",     "연필",       "지우개",   "공책",     "필통",     "책상",     "의자",
        "칠판",     "컴퓨터",     "자판",     "전화기",   "텔레비전", "냉장고",   "세탁기",
        "시계",     "거울",       "창문",     "대문",     "지붕",     "마당",     "꽃밭",
        "나무",     "소나무",     "단풍잎",   "코스모스", "해바라기", "진달래",   "개나리",
        "무궁화",   "강아지",     "고양이",   "토끼",     "거북이",   "다람쥐",   "코끼리",
        "기린",     "원숭이",     "사슴",     "여우",     "참새",     "비둘기",   "까치",
        "독수리",   "펭귄",       "돌고래",   "고래",     "오징어",   "문어",     "새우",
        "꽃게",     "김치",       "된장국",   "비빔밥",   "불고기",   "떡볶이",   "김밥",
        "만두",     "라면",       "냉면",     "송편",     "떡국",     "호떡",     "붕어빵",
        "팥빙수",   "아이스크림", "사탕",     "과자",     "음악",     "노래",     "피아노",
        "그림",     "사진",       "영화",     "축구",     "야구",     "농구",     "수영",
        "줄넘기",   "달리기",     "숨바꼭질", "소풍",     "여행",     "바닷가",   "모래성",
        "등대",     "산책",       "운동장",   "놀이터",   "도서관",   "박물관",   "병원",
        "약국",     "시장",       "우체국",   "은행",     "공원",     "뻐꾸기",   "호랑이",
        "뻐꾸기",   "달리기",
    };
    for (const char* word : kWords)
        list.append(QString::fromUtf8(word));
}
