<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>Localizable</name>
    <message>
        <source>The network is not good</source>
        <translation>网络不给力，请稍后再试</translation>
    </message>
    <message>
        <source>back</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>submit</source>
        <translation>提交</translation>
    </message>
    <message>
        <source>setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>My bookshelf</source>
        <translation>我的书架</translation>
    </message>
    <message>
        <source>Book detail</source>
        <translation>书籍详情</translation>
    </message>
    <message>
        <source>Please open settings not limited wifi download</source>
        <translation>当前不是WIFI网络，请在设置中关闭“只允许WIFI网络进行下载”</translation>
    </message>
    <message>
        <source>Looking for books</source>
        <translation>找书</translation>
    </message>
    <message>
        <source>In the search</source>
        <translation>正在搜索…</translation>
    </message>
    <message>
        <extracomment>%1 is a whole number.</extracomment>
        <source>Search to N records</source>
        <translation>共搜索到 %1 条记录</translation>
    </message>
    <message>
        <source>Search title, author, etc.</source>
        <translation>搜索书名、作者等</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>清除搜索历史</translation>
    </message>
    <message>
        <source>Clear record of success</source>
        <translation>搜索记录已清除</translation>
    </message>
    <message>
        <source>Failed to clear record</source>
        <translation>清除记录失败</translation>
    </message>
    <message>
        <source>The record is empty</source>
        <translation>暂无搜索记录</translation>
    </message>
    <message>
        <source>register</source>
        <translation>注册</translation>
    </message>
    <message>
        <source>login</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>username</source>
        <translation>账号</translation>
    </message>
    <message>
        <source>password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>usernameTip</source>
        <translation>请输入手机号或邮箱</translation>
    </message>
    <message>
        <source>passwordTip</source>
        <translation>请输入密码</translation>
    </message>
    <message>
        <source>username cannot be empty</source>
        <translation>账号不能为空</translation>
    </message>
    <message>
        <source>password cannot be empty</source>
        <translation>密码不能为空</translation>
    </message>
    <message>
        <source>regByPhone</source>
        <translation>手机注册</translation>
    </message>
    <message>
        <source>regByEmail</source>
        <translation>邮箱注册</translation>
    </message>
    <message>
        <source>phoneNo</source>
        <translation>手机号</translation>
    </message>
    <message>
        <source>enterPhoneNo</source>
        <translation>请输入手机号码</translation>
    </message>
    <message>
        <source>getCode</source>
        <translation>获取验证码</translation>
    </message>
    <message>
        <source>email</source>
        <translation>邮箱</translation>
    </message>
    <message>
        <source>enterEmail</source>
        <translation>请输入邮箱地址</translation>
    </message>
    <message>
        <source>password2</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Confirm Password</source>
        <translation>确认密码</translation>
    </message>
    <message>
        <source>Password length in bits 6-16</source>
        <translation>密码长度为6-16位</translation>
    </message>
    <message>
        <source>Please enter the confirmation password</source>
        <translation>请再次输入密码</translation>
    </message>
    <message>
        <source>nowReg</source>
        <translation>立即注册</translation>
    </message>
    <message>
        <source>check code</source>
        <translation>验证手机</translation>
    </message>
    <message>
        <source>Please enter the verification code</source>
        <translation>请输入短信验证码</translation>
    </message>
    <message>
        <source>Submit verification code</source>
        <translation>提交验证码</translation>
    </message>
    <message>
        <source>Reacquire verification code</source>
        <translation>重新获取验证码</translation>
    </message>
    <message>
        <source>The phone number can not be empty</source>
        <translation>手机号码不能为空</translation>
    </message>
    <message>
        <source>Phone number format error</source>
        <translation>手机号码格式不正确</translation>
    </message>
    <message>
        <source>The verification code can not be empty</source>
        <translation>验证码不能为空</translation>
    </message>
    <message>
        <extracomment>%1 is a whole number.</extracomment>
        <source>The verification code length should be</source>
        <translation>验证码应为 %1 位数字</translation>
    </message>
    <message>
        <source>Password length should be 6-16</source>
        <translation>密码长度应为6-16位</translation>
    </message>
    <message>
        <source>Confirm Password inconsistent</source>
        <translation>两次输入的密码不一致</translation>
    </message>
    <message>
        <source>Register successful</source>
        <translation>注册成功</translation>
    </message>
    <message>
        <source>E-mail can not be empty</source>
        <translation>邮箱不能为空</translation>
    </message>
    <message>
        <source>Mailbox format error</source>
        <translation>邮箱格式不正确</translation>
    </message>
    <message>
        <source>My Center</source>
        <translation>会员中心</translation>
    </message>
    <message>
        <source>Welcome to folia</source>
        <translation>欢迎来到 folia 书屋</translation>
    </message>
    <message>
        <source>My reading record</source>
        <translation>我的阅读记录</translation>
    </message>
    <message>
        <source>My favorite</source>
        <translation>我的收藏</translation>
    </message>
    <message>
        <source>My mailbox</source>
        <translation>我的信箱</translation>
    </message>
    <message>
        <source>My message box</source>
        <translation>我的消息</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>意见反馈</translation>
    </message>
    <message>
        <source>The latest version detection</source>
        <translation>检查新版本</translation>
    </message>
    <message>
        <source>feedback</source>
        <translation>意见反馈</translation>
    </message>
    <message>
        <source>question type:</source>
        <translation>问题类型：</translation>
    </message>
    <message>
        <source>feedback and suggest</source>
        <translation>意见建议</translation>
    </message>
    <message>
        <source>Users seeking books</source>
        <translation>我要求书</translation>
    </message>
    <message>
        <source>Please describe your suggestions, comments, questions, such as:</source>
        <translation>请描述您的建议、意见或遇到的问题，例如：</translation>
    </message>
    <message>
        <source>Please describe your request books:</source>
        <translation>请写下您想看的书（书名、作者）：</translation>
    </message>
    <message>
        <source>Your email (recommended only):</source>
        <translation>您的邮箱（建议填写）：</translation>
    </message>
    <message>
        <source>Your qq number (optional):</source>
        <translation>您的QQ号（选填）：</translation>
    </message>
    <message>
        <source>Please select the type of problem</source>
        <translation>请选择问题类型</translation>
    </message>
    <message>
        <source>Feedback suggestions can not be empty</source>
        <translation>意见建议不能为空</translation>
    </message>
    <message>
        <source>To beg the book can not be empty</source>
        <translation>求书内容不能为空</translation>
    </message>
    <message>
        <source>下拉刷新</source>
        <translation>下拉刷新</translation>
    </message>
    <message>
        <source>上拉加载</source>
        <translation>上拉加载</translation>
    </message>
    <message>
        <source>释放刷新</source>
        <translation>释放刷新</translation>
    </message>
    <message>
        <source>释放加载更多</source>
        <translation>释放加载更多</translation>
    </message>
    <message>
        <source>正在刷新</source>
        <translation>正在刷新…</translation>
    </message>
    <message>
        <source>正在加载</source>
        <translation>正在加载…</translation>
    </message>
    <message>
        <source>最后更新</source>
        <translation>最后更新</translation>
    </message>
    <message>
        <source>今天</source>
        <translation>今天</translation>
    </message>
    <message>
        <source>昨天</source>
        <translation>昨天</translation>
    </message>
    <message>
        <source>前天</source>
        <translation>前天</translation>
    </message>
</context>
</TS>
